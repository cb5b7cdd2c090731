# Set-up, build and test. `make run` and `make test` are the only commands a new machine needs.
BUILD_DIR   ?= build
HARDEN_DIR  ?= build-hardening
WEB_DIR     ?= build-web
R_DIR       ?= build-r
ARM_DIR     ?= build-aarch64
JOBS        ?= $(shell nproc)
PREFIX      ?= /usr/local
DESTDIR     ?=
PACKAGES    := cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev \
               qt6-charts-dev qt6-svg-dev \
               libboost-dev fonts-liberation xvfb xauth clang libclang-rt-14-dev \
               desktop-file-utils poppler-utils groff-base dpkg-dev locales \
               emscripten nodejs chromium webkit2gtk-driver python3-selenium \
               g++-aarch64-linux-gnu libc6-dev-arm64-cross qemu-user
# The R package's build and check; installed without their recommendations,
# which R CMD check does not need.
R_PACKAGES  := r-base-dev r-cran-rcpp r-cran-testthat r-cran-jsonlite r-cran-codetools

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build web r aarch64 run test install package hardening clean format

all: build

# Installs only what is missing, so a prepared machine does not touch the network.
deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null \
	  | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing: $$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi
	@missing=$$(for p in $(R_PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null \
	  | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing: $$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAVONA_WEB_BUILD_DIR=$(abspath $(WEB_DIR)) \
	  -DPAVONA_AARCH64_BUILD_DIR=$(abspath $(ARM_DIR))

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The browser edition: $(WEB_DIR)/site/ and $(WEB_DIR)/pavona-cli.js (run with
# `node $(WEB_DIR)/pavona-cli.js ARGS`), compiled by Debian's Emscripten.
# Its JavaScript optimizer needs Debian's node modules.
web: deps $(WEB_DIR)/npm/node_modules/.package-lock.json
	NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B $(WEB_DIR) -DCMAKE_BUILD_TYPE=Release \
	  -DPAVONA_BUILD_GUI=OFF -DPAVONA_BUILD_TESTS=OFF -DPAVONA_BUILD_BENCHMARKS=OFF
	NODE_PATH=/usr/share/nodejs cmake --build $(WEB_DIR) -j $(JOBS)

# The Qt-free core, pavona-cli and their tests cross-compiled for aarch64 (whose
# long double is quadruple: the software extended type) and run under
# qemu-user; the tests in $(BUILD_DIR) then compare its pavona-cli with the
# native one.
aarch64: deps
	cmake -S . -B $(ARM_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG" \
	  -DPAVONA_BUILD_GUI=OFF -DPAVONA_BUILD_BENCHMARKS=OFF
	cmake --build $(ARM_DIR) -j $(JOBS)
	cd $(ARM_DIR) && ctest --output-on-failure -j $(JOBS)

# The page's tests drive Chromium with puppeteer-core, pinned in
# tests/web/package-lock.json: installed again only when the lock changes, and
# from npm's cache when it holds the packages. Debian's nodejs comes without npm.
$(WEB_DIR)/npm/node_modules/.package-lock.json: tests/web/package.json tests/web/package-lock.json
	@command -v npm >/dev/null || DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq npm
	mkdir -p $(WEB_DIR)/npm
	cp tests/web/package.json tests/web/package-lock.json $(WEB_DIR)/npm/
	cd $(WEB_DIR)/npm && npm ci --prefer-offline --no-audit --no-fund

# The R package: $(R_DIR)/pavona_<version>.tar.gz, assembled from the core's
# sources as $(BUILD_DIR) compiles them and checked by R CMD check, its tests
# comparing it with $(BUILD_DIR)/pavona-cli (`make test` runs the same check).
r: configure
	cmake --build $(BUILD_DIR) --target pavona-cli -j $(JOBS)
	PAVONA_CLI=$(abspath $(BUILD_DIR))/pavona-cli PAVONA_TEST_DATA=$(abspath tests/data) \
	  r/build_package $(abspath $(R_DIR)) $(abspath $(BUILD_DIR))/r_package_sources.txt

run: build
	./$(BUILD_DIR)/pavona

# The tests in $(BUILD_DIR) also run the browser edition and the aarch64 build
# beside the native build, and check the R package.
test: build web aarch64
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# `make install PREFIX=/usr DESTDIR=/tmp/stage` stages the files for a package
# of another kind; without DESTDIR they go straight under PREFIX.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# build/pavona_<version>_<arch>.deb; its library dependencies are read from the
# programs by dpkg-shlibdeps.
package: build
	cd $(BUILD_DIR) && cpack -G DEB

# Also compares the native and the WebAssembly pavona-cli, so it builds both first.
hardening: build web
	PAVONA_CLI=$(BUILD_DIR)/pavona-cli PAVONA_WEB_CLI=$(WEB_DIR)/pavona-cli.js \
	  ./tests/hardening/run $(HARDEN_DIR)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(HARDEN_DIR) $(WEB_DIR) $(R_DIR) $(ARM_DIR)

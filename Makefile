# Set-up, build and test. `make run` and `make test` are the only commands a new machine needs.
BUILD_DIR   ?= build
HARDEN_DIR  ?= build-hardening
JOBS        ?= $(shell nproc)
PREFIX      ?= /usr/local
DESTDIR     ?=
PACKAGES    := cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev \
               qt6-charts-dev qt6-svg-dev \
               libboost-dev fonts-liberation xvfb xauth clang libclang-rt-14-dev \
               desktop-file-utils poppler-utils groff-base dpkg-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build run test install package hardening clean format

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

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/pavona

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# `make install PREFIX=/usr DESTDIR=/tmp/stage` stages the files for a package
# of another kind; without DESTDIR they go straight under PREFIX.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# build/pavona_<version>_<arch>.deb; its library dependencies are read from the
# programs by dpkg-shlibdeps.
package: build
	cd $(BUILD_DIR) && cpack -G DEB

hardening: deps
	./tests/hardening/run $(HARDEN_DIR)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(HARDEN_DIR)

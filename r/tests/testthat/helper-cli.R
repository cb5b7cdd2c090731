# pavona-cli beside the package: PAVONA_CLI names the program and
# PAVONA_TEST_DATA the folder of data files both are run on. The tests that
# need them are skipped when they are not given (a check away from the
# program's build); `make r` gives both.

cli_path <- function() Sys.getenv("PAVONA_CLI")
data_folder <- function() Sys.getenv("PAVONA_TEST_DATA")

skip_without_cli <- function() {
  if (!nzchar(cli_path()) || !file.exists(cli_path()) || !dir.exists(data_folder()))
    skip("PAVONA_CLI and PAVONA_TEST_DATA do not name pavona-cli and its test data")
}

# pavona-cli's standard output and error (as texts) and exit status.
run_cli <- function(...) {
  out <- tempfile()
  err <- tempfile()
  on.exit(unlink(c(out, err)))
  status <- system2(cli_path(), shQuote(c(...)), stdout = out, stderr = err)
  read <- function(file) {
    size <- file.size(file)
    if (size == 0) "" else rawToChar(readBin(file, "raw", size))
  }
  list(status = status, stdout = read(out), stderr = read(err))
}

# Every data file of the tests, with k (1 to 5) from its first row and n from
# its number of rows, as the web edition's cross-check chooses them.
data_files <- function() {
  folders <- c(data_folder(), file.path(data_folder(), "hostile"))
  files <- unlist(lapply(folders, function(folder)
    list.files(folder, full.names = TRUE, include.dirs = FALSE)))
  files <- files[!dir.exists(files) & !endsWith(files, ".expected")]
  lapply(files, function(file) {
    bytes <- readBin(file, "raw", file.size(file))
    text <- rawToChar(bytes[bytes != as.raw(0)])
    Encoding(text) <- "latin1"
    lines <- strsplit(text, "\r\n|\r|\n")[[1L]]
    lines <- lines[grepl("[^ \t]", lines, useBytes = TRUE)]
    columns <- if (length(lines)) length(strsplit(trimws(lines[1L]), "[ \t]+")[[1L]]) else 1L
    list(path = file, name = basename(file), k = min(5L, max(1L, columns - 1L)),
         n = if (length(lines) > 1L) length(lines) - 1L else 3L)
  })
}

# A message pavona-cli printed last on standard error.
last_message <- function(stderr) sub("\n$", "", stderr)

# pavona-cli's figures have 21 digits; R's double holds the nearest it can,
# so the two agree to 1e-15 relative (or exactly, for zero).
expect_figure <- function(actual, expected, label) {
  expected <- as.numeric(expected)
  expect_equal(length(actual), length(expected), label = label)
  differs <- abs(as.numeric(actual) - expected) > 1e-15 * abs(expected) |
    is.na(actual) != is.na(expected)
  expect_false(isTRUE(any(differs, na.rm = TRUE)),
               label = sprintf("%s: %s against pavona-cli's %s", label,
                               paste(format(actual, digits = 17), collapse = " "),
                               paste(format(expected, digits = 17), collapse = " ")))
}

# Every figure of pavona-cli's JSON, under its name, in the object.
expect_json_figures <- function(object, json, label) {
  for (name in setdiff(names(json), c("data_file", "notes", "limits"))) {
    expected <- json[[name]]
    if (is.null(expected)) expected <- NA_real_
    expect_figure(object[[name]], unlist(expected), paste(label, name))
  }
  expect_identical(unlist(object$notes), unlist(json$notes), label = paste(label, "notes"))
  expect_identical(object$limits, json$limits, label = paste(label, "limits"))
}

# A CSV of pavona-cli's as the data frame pavona returns.
read_cli_csv <- function(text) {
  table <- utils::read.csv(text = text, colClasses = c("integer", rep("numeric", 14L),
                                                       "character"), na.strings = "")
  table
}

expect_same_table <- function(actual, expected, label) {
  expect_identical(names(actual), names(expected), label = label)
  expect_identical(nrow(actual), nrow(expected), label = label)
  for (name in names(expected)) {
    if (is.character(expected[[name]]))
      expect_identical(actual[[name]], expected[[name]], label = paste(label, name))
    else
      expect_figure(actual[[name]], expected[[name]], paste(label, name))
  }
}

# On every data file of the tests, in each of pavona-cli's modes, the package
# gives pavona-cli's answer: its figures, its report character for character,
# its CSV, or its refusal with the same message.

# The data as R reads it, or NULL where read.table cannot (line ends, bytes)
# or where R's double cannot hold a number as the file writes it (more than
# 15 significant digits): there the file and the matrix are different data.
as_read_by_r <- function(file, k, n) {
  data <- tryCatch(suppressWarnings(utils::read.table(file$path, nrows = n + 1L,
                                                      colClasses = "character")),
                   error = function(e) NULL)
  if (is.null(data) || nrow(data) < n + 1L || ncol(data) < k + 1L) return(NULL)
  numbers <- unlist(data)
  digits <- gsub("^[-+]?0*|[eE].*$|\\.", "", numbers)
  if (any(nchar(sub("0*$", "", digits)) > 15L)) return(NULL)
  data[] <- lapply(data, as.numeric)
  if (anyNA(data)) return(NULL)
  data
}

# The refusal raised, checked against pavona-cli's message.
expect_refused_as_cli <- function(expression, cli, label) {
  error <- tryCatch({
    expression
    NULL
  }, pavona_error = function(e) e, warning = function(w) NULL)
  expect_s3_class(error, c("pavona_error", "error", "condition"))
  if (!is.null(error))
    expect_true(endsWith(cli$stderr, paste0(conditionMessage(error), "\n")),
                label = sprintf("%s: '%s' ends pavona-cli's '%s'", label,
                                conditionMessage(error), cli$stderr))
}

quietly <- function(expression) suppressWarnings(expression)

test_that("a case gives pavona-cli's JSON figures, report and CSV row, or its refusal", {
  skip_without_cli()
  skip_if_not_installed("jsonlite")
  for (file in data_files()) {
    label <- file$name
    sample <- c("--predictors", file$k, "--controls", file$n, "--notes", "Cross-check")
    json_cli <- run_cli(sample, "--limits", "upper", "--json", file$path)
    if (json_cli$status != 0) {
      expect_refused_as_cli(pavona_case(file$path, file$k, file$n, "upper", "Cross-check"),
                            json_cli, label)
      next
    }
    json <- jsonlite::fromJSON(json_cli$stdout)
    x <- quietly(pavona_case(file$path, file$k, file$n, "upper", "Cross-check"))
    expect_s3_class(x, "pavona")
    expect_json_figures(x, json, label)
    expect_identical(x$data_file, file$path)
    # Every figure to its last digit: the core's digits, whatever R's compiler flags.
    expect_identical(attr(x, "json"), json_cli$stdout, label = paste(label, "JSON text"))

    data <- as_read_by_r(file, file$k, file$n)
    if (!is.null(data)) {
      from_r <- quietly(pavona_case(data, file$k, file$n, "upper", "Cross-check"))
      expect_json_figures(from_r, json, paste(label, "read by R"))
    }

    report_cli <- run_cli(sample, "--limits", "two-sided", file$path)
    two_sided <- quietly(pavona_case(file$path, file$k, file$n, notes = "Cross-check"))
    expect_identical(format(two_sided), report_cli$stdout, label = paste(label, "report"))

    csv_cli <- run_cli(sample, "--limits", "lower", "--csv", file$path)
    lower <- quietly(pavona_case(file$path, file$k, file$n, "lower"))
    expect_same_table(as.data.frame(lower), read_cli_csv(csv_cli$stdout), paste(label, "row"))
  }
})

test_that("a series gives pavona-cli's CSV, a refused case keeping its row", {
  skip_without_cli()
  for (file in data_files()) {
    cli <- run_cli("--predictors", file$k, "--controls", file$n, "--limits", "lower", "--csv",
                   "--cases", "all", file$path)
    # No case row written: the run as a whole was refused.
    if (!grepl("\n.", cli$stdout)) {
      expect_refused_as_cli(pavona_series(file$path, file$k, file$n, "lower"), cli, file$name)
      next
    }
    series <- quietly(pavona_series(file$path, file$k, file$n, "lower"))
    expect_same_table(series, read_cli_csv(cli$stdout), paste(file$name, "series"))
  }
})

# The numbers of a summary file, read as the reader lays them out.
summary_numbers <- function(path, k) {
  lines <- readLines(path, warn = FALSE)
  lines <- lines[grepl("[^ \t]", lines)]
  numbers <- lapply(strsplit(trimws(lines), "[ \t]+"), function(w) as.numeric(w[seq_len(k + 1L)]))
  variables <- k + 1L
  list(n = numbers[[1L]][1L], means = numbers[[2L]], sds = numbers[[3L]],
       correlations = do.call(rbind, numbers[4L:(3L + variables)]),
       case = numbers[[4L + variables]])
}

without_data_file <- function(json) sub('"data_file": "[^"]*"', "", json)

test_that("summary statistics give pavona-cli --summary's figures and report", {
  skip_without_cli()
  skip_if_not_installed("jsonlite")
  accepted <- 0L
  for (file in data_files()) {
    cli <- run_cli("--predictors", file$k, "--summary", "--json", file$path)
    if (cli$status != 0) next
    accepted <- accepted + 1L
    s <- summary_numbers(file$path, file$k)
    for (limits in c("two-sided", "lower", "upper")) {
      x <- pavona_summary(s$n, s$means, s$sds, s$correlations, s$case, limits, "Norms")
      json_text <- run_cli("--predictors", file$k, "--summary", "--json", "--limits", limits,
                           "--notes", "Norms", file$path)$stdout
      json <- jsonlite::fromJSON(json_text)
      expect_json_figures(x, json, paste(file$name, limits))
      expect_identical(without_data_file(attr(x, "json")), without_data_file(json_text),
                       label = paste(file$name, limits, "JSON text"))
      report <- run_cli("--predictors", file$k, "--summary", "--limits", limits, "--notes",
                        "Norms", file$path)$stdout
      expect_identical(format(x), report, label = paste(file$name, limits, "report"))
    }
  }
  expect_gt(accepted, 0L)
})

# Summary statistics the program refuses, written as a summary file for
# pavona-cli and given to pavona_summary as numbers.
test_that("refused summary statistics raise pavona-cli's message", {
  skip_without_cli()
  refusals <- list(
    "not positive definite" = list(n = 20, means = c(50, 20, 30), sds = c(10, 5, 6),
                                   correlations = matrix(c(1, .9, .9, .9, 1, 1, .9, 1, 1), 3),
                                   case = c(40, 20, 30)),
    "n below k + 2" = list(n = 3, means = c(50, 20, 30), sds = c(10, 5, 6),
                           correlations = diag(3), case = c(40, 20, 30)),
    "n above a million" = list(n = 2e6, means = c(50, 20), sds = c(10, 5),
                               correlations = diag(2), case = c(40, 20)),
    "a correlation above 1" = list(n = 20, means = c(50, 20), sds = c(10, 5),
                                   correlations = matrix(c(1, 1.5, 1.5, 1), 2), case = c(40, 20)),
    "a negative SD" = list(n = 20, means = c(50, 20), sds = c(10, -5),
                           correlations = diag(2), case = c(40, 20)),
    "six predictors" = list(n = 30, means = rep(1, 7), sds = rep(1, 7), correlations = diag(7),
                            case = rep(1, 7)))
  for (name in names(refusals)) {
    s <- refusals[[name]]
    file <- tempfile(fileext = ".txt")
    writeLines(c(format(s$n, scientific = FALSE), paste(s$means, collapse = " "),
                 paste(s$sds, collapse = " "),
                 apply(s$correlations, 1L, paste, collapse = " "),
                 paste(s$case, collapse = " ")), file)
    cli <- run_cli("--predictors", length(s$means) - 1L, "--summary", file)
    unlink(file)
    expect_false(cli$status == 0, label = name)
    expect_refused_as_cli(pavona_summary(s$n, s$means, s$sds, s$correlations, s$case), cli, name)
  }
})

test_that("refused entries and notes raise pavona-cli's message", {
  skip_without_cli()
  data <- file.path(data_folder(), "worked_example.txt")
  long_notes <- strrep("x", 251L)
  entries <- list(
    "six predictors" = list(k = 6, n = 10, notes = character()),
    "no predictors" = list(k = 0, n = 10, notes = character()),
    "k a fraction" = list(k = 1.5, n = 10, notes = character()),
    "n above 499" = list(k = 1, n = 500, notes = character()),
    "n of a million, written 1e6" = list(k = 1, n = 1e6, notes = character()),
    "n below 3" = list(k = 1, n = 2, notes = character()),
    "k not below n - 1" = list(k = 3, n = 4, notes = character()),
    "notes too long" = list(k = 1, n = 10, notes = long_notes))
  for (name in names(entries)) {
    e <- entries[[name]]
    # As typed: R's 1e6 is 1000000 on the command line too.
    cli <- run_cli("--predictors", e$k, "--controls", format(e$n, scientific = FALSE),
                   if (length(e$notes)) c("--notes", e$notes), data)
    expect_false(cli$status == 0, label = name)
    expect_refused_as_cli(pavona_case(data, e$k, e$n, notes = e$notes), cli, name)
  }
})

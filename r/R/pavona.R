# The R functions check what only R can get wrong (a column of text, NA, a
# wrong length), hand everything else to the program's own request sequence,
# and turn its refusals into conditions of class "pavona_error".

pavona_error <- function(message, call) {
  stop(structure(class = c("pavona_error", "error", "condition"),
                 list(message = message, call = call)))
}

pavona_warning <- function(message, call) {
  warning(structure(class = c("pavona_warning", "warning", "condition"),
                    list(message = message, call = call)))
}

# An argument R cannot hand on: the message names it.
argument_error <- function(argument, problem, call) {
  stop(structure(class = c("pavona_argument_error", "error", "condition"),
                 list(message = sprintf("`%s` %s", argument, problem), call = call)))
}

# The outcome of a request: its figures, or the refusal raised.
outcome_of <- function(outcome, call) {
  if (!outcome$ok) pavona_error(outcome$message, call)
  outcome
}

tell_warnings <- function(warnings, call) {
  for (w in warnings) pavona_warning(w, call)
}

# One number as the program reads an entry: its shortest exact decimal in
# plain digits, so that 2.5 or 1e3 reach the entry checks as they would be
# typed.
entry_text <- function(value, argument, call) {
  if (!is.numeric(value) || length(value) != 1L)
    argument_error(argument, "must be a single number", call)
  if (!is.finite(value)) argument_error(argument, "must be a finite number, not NA", call)
  .entry_text(as.double(value))
}

limits_of <- function(limits, call) {
  choices <- c("two-sided", "lower", "upper")
  if (identical(limits, choices)) return(choices[1L])
  if (!is.character(limits) || length(limits) != 1L || !(limits %in% choices))
    argument_error("limits", 'must be one of "two-sided", "lower" or "upper"', call)
  limits
}

notes_of <- function(notes, call) {
  if (is.null(notes)) return(character())
  if (!is.character(notes) || anyNA(notes))
    argument_error("notes", "must be a character vector without NA", call)
  enc2utf8(notes)
}

# A numeric matrix of the data: every column numeric, every value finite.
numeric_data <- function(data, argument, call) {
  if (is.data.frame(data)) {
    numeric <- vapply(data, is.numeric, logical(1L))
    if (!all(numeric)) {
      bad <- which(!numeric)[1L]
      argument_error(argument, sprintf("must hold numbers only, but column %d (%s) is %s",
                                       bad, names(data)[bad], class(data[[bad]])[1L]), call)
    }
    data <- as.matrix(data)
  }
  if (!is.matrix(data) || !is.numeric(data))
    argument_error(argument, "must be a numeric matrix or data frame, or the path of a data file",
                   call)
  bad <- which(!is.finite(data), arr.ind = TRUE)
  if (nrow(bad) > 0L)
    argument_error(argument, sprintf("holds %s in row %d, column %d: every score must be a number",
                                     format(data[bad[1L, 1L], bad[1L, 2L]]), bad[1L, 1L],
                                     bad[1L, 2L]), call)
  storage.mode(data) <- "double"
  data
}

is_path <- function(data) is.character(data) && length(data) == 1L && !is.na(data)

path_of <- function(data) enc2native(path.expand(data))

# The data as the request takes it: the path of a file, or the text of a
# matrix whose size the entries were checked against (the core counts lines
# and numbers; here rows and columns are named).
data_request <- function(data, predictors, n, cases_follow, call) {
  if (!is_path(data)) data <- numeric_data(data, "data", call)
  predictors_text <- entry_text(predictors, "predictors", call)
  n_text <- entry_text(n, "n", call)
  if (is_path(data)) return(list(predictors = predictors_text, n = n_text,
                                 path = path_of(data), text = ""))
  entries <- outcome_of(.check_entries(predictors_text, n_text), call)
  rows <- entries$n + 1L
  if (nrow(data) < rows)
    argument_error("data", sprintf(
      "has %d row(s), but %d are needed: the n = %d controls followed by %s", nrow(data),
      rows, entries$n, if (cases_follow) "the cases" else "the case"), call)
  if (ncol(data) < entries$k + 1L)
    argument_error("data", sprintf(
      "has %d column(s), but %d are needed: the criterion followed by %d predictor(s)",
      ncol(data), entries$k + 1L, entries$k), call)
  list(predictors = predictors_text, n = n_text, path = "", text = .data_text(data))
}

new_pavona <- function(outcome, call) {
  outcome <- outcome_of(outcome, call)
  tell_warnings(outcome$figures$warnings, call)
  structure(outcome$figures, class = "pavona", json = outcome$json)
}

pavona_case <- function(data, predictors, n = nrow(data) - 1,
                        limits = c("two-sided", "lower", "upper"), notes = character()) {
  call <- sys.call()
  if (missing(predictors)) argument_error("predictors", "must be given", call)
  if (missing(n) && is_path(data))
    argument_error("n", "must be given when `data` names a file", call)
  limits <- limits_of(limits, call)
  notes <- notes_of(notes, call)
  request <- data_request(data, predictors, n, FALSE, call)
  new_pavona(.run_case(request$predictors, request$n, limits, notes, request$path,
                       request$text, FALSE), call)
}

pavona_summary <- function(n, means, sds, correlations, case,
                           limits = c("two-sided", "lower", "upper"), notes = character()) {
  call <- sys.call()
  limits <- limits_of(limits, call)
  notes <- notes_of(notes, call)
  n_text <- entry_text(n, "n", call)
  scores <- function(value, argument) {
    if (!is.numeric(value) || is.matrix(value) || length(value) < 2L)
      argument_error(argument, "must be a numeric vector: the criterion, then the predictors",
                     call)
    if (any(!is.finite(value)))
      argument_error(argument, "holds NA, NaN or an infinite value: every entry must be a number",
                     call)
    as.double(value)
  }
  means <- scores(means, "means")
  variables <- length(means)
  for (argument in c("sds", "case")) {
    value <- scores(get(argument), argument)
    if (length(value) != variables)
      argument_error(argument, sprintf("has %d entries, but `means` has %d", length(value),
                                       variables), call)
    assign(argument, value)
  }
  if (!is.numeric(correlations) || !is.matrix(correlations) ||
      !all(dim(correlations) == variables))
    argument_error("correlations", sprintf("must be a %d by %d numeric matrix", variables,
                                           variables), call)
  if (any(!is.finite(correlations)))
    argument_error("correlations", "holds NA, NaN or an infinite value", call)
  storage.mode(correlations) <- "double"
  text <- paste0(n_text, "\n", .data_text(rbind(means, sds, deparse.level = 0L)),
                 .data_text(correlations), .data_text(matrix(case, 1L)))
  new_pavona(.run_case(as.character(variables - 1L), "", limits, notes, "", text, TRUE), call)
}

pavona_series <- function(data, predictors, n, limits = c("two-sided", "lower", "upper")) {
  call <- sys.call()
  if (missing(predictors)) argument_error("predictors", "must be given", call)
  if (missing(n)) argument_error("n", "must be given: the number of controls before the cases",
                                 call)
  limits <- limits_of(limits, call)
  request <- data_request(data, predictors, n, TRUE, call)
  outcome <- outcome_of(.run_series(request$predictors, request$n, limits, request$path,
                                    request$text), call)
  tell_warnings(outcome$warnings, call)
  as.data.frame(outcome$table, stringsAsFactors = FALSE)
}

format.pavona <- function(x, ...) paste0(x$report, "\n", collapse = "")

print.pavona <- function(x, digits = 6L, ...) {
  f <- function(value) format(signif(value, digits))
  sided <- switch(x$limits, "two-sided" = "two-sided", lower = "one-sided lower",
                  upper = "one-sided upper")
  cat(sprintf("Pavona: a case against %d controls, %d predictor(s); %s 95%% limits\n", x$n, x$k,
              sided))
  cat(sprintf("  obtained %s, predicted %s, discrepancy %s\n", f(x$case_scores[1L]),
              f(x$Predicted), f(x$discrepancy)))
  cat(sprintf("  t = %s on %s df, p one-tailed %s, two-tailed %s\n", f(x$T_value), f(x$DF),
              f(x$P_one_tailed), f(x$P_two_tailed)))
  limits <- function(lower, upper) {
    switch(x$limits, "two-sided" = sprintf("(limits %s to %s)", f(lower), f(upper)),
           lower = sprintf("(lower limit %s)", f(lower)),
           upper = sprintf("(upper limit %s)", f(upper)))
  }
  cat(sprintf("  %% more extreme %s %s\n", f(x$Pct_more_extreme),
              limits(x$Pct_lower, x$Pct_upper)))
  cat(sprintf("  Z-OP %s %s\n", f(x$ZOP), limits(x$ZOP_lower, x$ZOP_upper)))
  cat("  cat(format(x)) shows the whole report\n")
  invisible(x)
}

as.data.frame.pavona <- function(x, row.names = NULL, optional = FALSE, ...) {
  lower <- x$limits != "upper"
  upper <- x$limits != "lower"
  values <- list(1L, x$case_scores[1L], x$Predicted, x$discrepancy, x$SE_additional, x$T_value,
                 x$DF, x$P_one_tailed, x$P_two_tailed, x$Pct_more_extreme,
                 if (lower) x$Pct_lower else NA_real_, if (upper) x$Pct_upper else NA_real_,
                 x$ZOP, if (lower) x$ZOP_lower else NA_real_,
                 if (upper) x$ZOP_upper else NA_real_, NA_character_)
  names(values) <- .csv_names()
  as.data.frame(values, row.names = row.names, stringsAsFactors = FALSE)
}

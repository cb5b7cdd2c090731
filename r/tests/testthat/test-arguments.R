# What only R can get wrong is refused before the program sees it, with a
# message naming the argument; what the program checks is left to it.

worked_example <- function() {
  as.matrix(utils::read.table(system.file("extdata", "worked_example.txt", package = "pavona")))
}

test_that("a bad argument is refused with a message naming it", {
  data <- worked_example()
  with_text <- data.frame(y = data[, 1], x = as.character(data[, 2]))
  with_factor <- data.frame(y = data[, 1], x = factor(data[, 2]))
  with_na <- data
  with_na[4, 2] <- NA
  with_inf <- data
  with_inf[11, 1] <- Inf
  means <- c(50, 20)
  sds <- c(10, 5)
  corr <- diag(2)
  refusals <- list(
    list("data", quote(pavona_case(with_text, 1))),
    list("data", quote(pavona_case(with_factor, 1))),
    list("data", quote(pavona_case(with_na, 1))),
    list("data", quote(pavona_case(with_inf, 1))),
    list("data", quote(pavona_case(list(1, 2), 1))),
    list("data", quote(pavona_case(data[1:5, ], 1, n = 10))),
    list("data", quote(pavona_case(data[, 1, drop = FALSE], 1))),
    list("data", quote(pavona_series(data[1:10, ], 1, 10))),
    list("predictors", quote(pavona_case(data))),
    list("predictors", quote(pavona_case(data, "1"))),
    list("predictors", quote(pavona_case(data, c(1, 2)))),
    list("predictors", quote(pavona_case(data, NA_real_))),
    list("n", quote(pavona_case(data, 1, n = NA))),
    list("n", quote(pavona_case(data, 1, n = integer()))),
    list("n", quote(pavona_case("data.txt", 1))),
    list("n", quote(pavona_series(data, 1))),
    list("limits", quote(pavona_case(data, 1, limits = "both"))),
    list("limits", quote(pavona_case(data, 1, limits = c("lower", "upper")))),
    list("notes", quote(pavona_case(data, 1, notes = NA_character_))),
    list("notes", quote(pavona_case(data, 1, notes = 1))),
    list("means", quote(pavona_summary(20, c(50, NA), sds, corr, c(40, 20)))),
    list("means", quote(pavona_summary(20, "50", sds, corr, c(40, 20)))),
    list("sds", quote(pavona_summary(20, means, c(10, 5, 6), corr, c(40, 20)))),
    list("case", quote(pavona_summary(20, means, sds, corr, 40))),
    list("correlations", quote(pavona_summary(20, means, sds, diag(3), c(40, 20)))),
    list("correlations", quote(pavona_summary(20, means, sds, c(1, 0, 0, 1), c(40, 20)))),
    list("correlations", quote(pavona_summary(20, means, sds, matrix(NA_real_, 2, 2),
                                              c(40, 20)))),
    list("n", quote(pavona_summary(NA, means, sds, corr, c(40, 20)))))
  for (refusal in refusals) {
    error <- tryCatch(eval(refusal[[2]]), error = function(e) e)
    label <- deparse(refusal[[2]])
    expect_s3_class(error, "pavona_argument_error")
    expect_match(conditionMessage(error), paste0("`", refusal[[1]], "`"), fixed = TRUE,
                 label = label)
  }
})

test_that("a refusal of the program is a pavona_error, an error and a condition", {
  data <- worked_example()
  error <- tryCatch(pavona_case(data, 6, 10), error = function(e) e)
  expect_s3_class(error, c("pavona_error", "error", "condition"), exact = TRUE)
  equal <- cbind(data, 1)
  error <- tryCatch(pavona_case(equal[, c(1, 3)], 1), error = function(e) e)
  expect_s3_class(error, "pavona_error")
})

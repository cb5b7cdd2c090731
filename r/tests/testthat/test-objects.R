# The result's forms: the same analysis from a file or from R's data, its
# short print, its one-row data frame and the warnings the program gives.

example_path <- function() system.file("extdata", "worked_example.txt", package = "pavona")

test_that("a matrix or data frame read from a file gives the file's analysis exactly", {
  from_file <- pavona_case(example_path(), 1, 10, "lower", c("first line", "second line"))
  frame <- utils::read.table(example_path())
  for (data in list(frame, as.matrix(frame), as.matrix(frame) * 1L)) {
    from_r <- pavona_case(data, 1, limits = "lower", notes = "first line\nsecond line")
    expect_identical(unclass(from_r)[names(from_r) != "data_file"],
                     unclass(from_file)[names(from_file) != "data_file"])
    expect_identical(sub(example_path(), "", attr(from_file, "json"), fixed = TRUE),
                     attr(from_r, "json"))
  }
  expect_identical(from_file$notes, c("first line", "second line"))
})

test_that("print shows the key figures in a few lines and format the whole report", {
  x <- pavona_case(example_path(), 1, 10)
  shown <- capture.output(print(x))
  expect_lte(length(shown), 7L)
  expect_match(shown, format(signif(x$T_value, 6)), fixed = TRUE, all = FALSE)
  expect_match(shown, format(signif(x$Pct_more_extreme, 6)), fixed = TRUE, all = FALSE)
  expect_identical(format(x), paste0(paste(x$report, collapse = "\n"), "\n"))
  expect_gt(length(x$report), length(shown))
})

test_that("one-sided limits leave the other limit out of the data frame", {
  for (limits in c("lower", "upper")) {
    row <- as.data.frame(pavona_case(example_path(), 1, 10, limits))
    expect_identical(nrow(row), 1L)
    expect_identical(is.na(row$pct_lower), limits == "upper")
    expect_identical(is.na(row$zop_upper), limits == "lower")
    expect_true(is.na(row$error))
  }
})

test_that("rows and columns past those read are told as warnings, not dropped in silence", {
  data <- as.matrix(utils::read.table(example_path()))
  wider <- cbind(data, 0)
  warned <- function(expression) {
    told <- character()
    value <- withCallingHandlers(expression, pavona_warning = function(w) {
      told <<- c(told, conditionMessage(w))
      invokeRestart("muffleWarning")
    })
    list(value = value, told = told)
  }
  expect_length(warned(pavona_case(wider, 1))$told, 1L)
  expect_length(warned(pavona_case(data, 1, n = 9))$told, 1L)
  series <- warned(pavona_series(wider, 1, 8))
  expect_length(series$told, 1L)
  expect_identical(series$value$case, 1:3)
  expect_length(warned(pavona_case(data, 1))$told, 0L)
})

test_that("a series keeps a refused case's row with its message", {
  data <- as.matrix(utils::read.table(example_path()))
  cases <- rbind(data, c(1e6, 20), c(50, 25))
  series <- pavona_series(cases, 1, 10)
  expect_identical(series$case, 1:3)
  expect_true(is.na(series$error[1]) && is.na(series$error[3]))
  expect_true(nzchar(series$error[2]))
  expect_true(all(is.na(unlist(series[2, 2:15]))))
})

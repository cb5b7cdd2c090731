library(testthat)
library(pavona)

test_check("pavona")

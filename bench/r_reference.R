# The case analysis of pavona-cli in base R (lm, pt with ncp, uniroot), timed
# inside R, as a yardstick for the program's speed. Measurement only: nothing
# builds or tests with it.
#
#   build/write_bench_data 499 5 -30 > /tmp/n499_k5.txt
#   Rscript bench/r_reference.R /tmp/n499_k5.txt 5 200
#
# Prints the four limits (to check that the analysis is the same as the
# program's) and the time of one analysis, as the mean over the repetitions.
# Sourced (as bench/r_package_bench.R does), it only defines analyse().

analyse <- function(raw, k, level = 0.95, two_sided = TRUE) {
  n <- nrow(raw) - 1
  y <- raw[1:n, 1]
  x <- raw[1:n, 2:(k + 1), drop = FALSE]
  case_x <- raw[n + 1, 2:(k + 1)]
  case_y <- raw[n + 1, 1]

  fit <- lm(y ~ x)
  predicted <- sum(coef(fit) * c(1, case_x))
  see <- summary(fit)$sigma
  sd_residual <- sd(y) * sqrt(1 - summary(fit)$r.squared)
  z <- (case_x - colMeans(x)) / apply(x, 2, sd)
  mahalanobis <- drop(t(z) %*% solve(cor(x), z))

  discrepancy <- case_y - predicted
  se <- see / sqrt(n) * sqrt(n + 1 + mahalanobis)
  df <- n - k - 1
  t_value <- discrepancy / se
  p_one_tailed <- pt(-abs(t_value), df)

  p_hi <- if (two_sided) (1 - level) / 2 + level else level
  p_lo <- if (two_sided) (1 - level) / 2 else 1 - level
  root_cf <- sqrt(1 / n + mahalanobis / (n - 1))
  t_p <- -abs(discrepancy) / see / root_cf
  t_z <- discrepancy / see / root_cf
  # The non-centrality that puts t at the p-quantile; pt falls as it rises.
  # A tolerance of 1e-7 matches the program's 1e-6 on the same scale.
  noncentrality <- function(t, p)
    uniroot(function(delta) pt(t, df, delta) - p, c(-1, 1),
            extendInt = "downX", tol = 1e-7)$root

  c(t = t_value, p_one_tailed = p_one_tailed,
    pct_lower = 100 * pnorm(root_cf * noncentrality(t_p, p_hi)),
    pct_upper = 100 * pnorm(root_cf * noncentrality(t_p, p_lo)),
    zop = discrepancy / sd_residual,
    zop_lower = root_cf * noncentrality(t_z, p_hi),
    zop_upper = root_cf * noncentrality(t_z, p_lo))
}

if (sys.nframe() == 0L) {
  args <- commandArgs(trailingOnly = TRUE)
  if (length(args) < 2) stop("usage: Rscript r_reference.R DATAFILE K [REPETITIONS]")
  file <- args[1]
  k <- as.integer(args[2])
  repetitions <- if (length(args) >= 3) as.integer(args[3]) else 200

  raw <- as.matrix(read.table(file))
  print(signif(analyse(raw, k), 7))
  times <- system.time(for (i in seq_len(repetitions)) analyse(raw, k))
  # Processor time beside the elapsed time: on a shared machine the elapsed time
  # counts the other processes too, and the benchmarks report both.
  cpu <- times[["user.self"]] + times[["sys.self"]]
  cat(sprintf("R %s: %.3f ms per analysis, %.3f ms processor time (mean of %d)\n",
              R.version.string, 1000 * times[["elapsed"]] / repetitions,
              1000 * cpu / repetitions, repetitions))
}

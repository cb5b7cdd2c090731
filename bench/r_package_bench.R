# pavona_case against the base-R analysis of bench/r_reference.R (lm, pt with
# a non-centrality, uniroot), in one R session on the same data: the time of
# one analysis each, as the mean over the repetitions, and their ratio.
# Measurement only: nothing builds or tests with it.
#
#   make r && R CMD INSTALL build-r/pavona_*.tar.gz
#   Rscript bench/r_package_bench.R [DATAFILE K REPETITIONS]
#
# The defaults are the largest sample the program takes: n 499, k 5
# (tests/data/hostile/n499_k5.txt), 200 repetitions.

library(pavona)

script <- sub("^--file=", "", grep("^--file=", commandArgs(), value = TRUE)[1])
here <- dirname(normalizePath(script))
source(file.path(here, "r_reference.R"))

args <- commandArgs(trailingOnly = TRUE)
file <- if (length(args) >= 1) args[1] else
  file.path(dirname(here), "tests", "data", "hostile", "n499_k5.txt")
k <- if (length(args) >= 2) as.integer(args[2]) else 5L
repetitions <- if (length(args) >= 3) as.integer(args[3]) else 200L

raw <- as.matrix(read.table(file))
n <- nrow(raw) - 1L

# The same analysis both ways, side by side.
x <- pavona_case(raw, k)
reference <- analyse(raw, k)
print(signif(rbind(pavona = c(t = x$T_value, p_one_tailed = x$P_one_tailed,
                              pct_lower = x$Pct_lower, pct_upper = x$Pct_upper, zop = x$ZOP,
                              zop_lower = x$ZOP_lower, zop_upper = x$ZOP_upper),
                   base_r = reference), 7))

# Milliseconds of one run, as the mean over the repetitions: elapsed, and the
# processor's time (user and system), which a busy machine inflates less.
milliseconds <- function(expression) {
  expression <- substitute(expression)
  times <- system.time(for (i in seq_len(repetitions)) eval(expression))
  1000 * c(elapsed = times[["elapsed"]],
           cpu = times[["user.self"]] + times[["sys.self"]]) / repetitions
}
base_r <- milliseconds(analyse(raw, k))
from_matrix <- milliseconds(pavona_case(raw, k))
from_file <- milliseconds(pavona_case(file, k, n))

cat(sprintf("%s, n %d, k %d, mean of %d (elapsed; processor time):\n", R.version.string, n, k,
            repetitions))
line <- function(name, ms) {
  cat(sprintf("  %-28s %8.3f ms  %8.3f ms", name, ms[["elapsed"]], ms[["cpu"]]))
  if (!identical(ms, base_r))
    cat(sprintf("   %.1f and %.1f times as fast as base R",
                base_r[["elapsed"]] / ms[["elapsed"]], base_r[["cpu"]] / ms[["cpu"]]))
  cat("\n")
}
line("base R (r_reference.R)", base_r)
line("pavona_case on the matrix", from_matrix)
line("pavona_case on the file", from_file)

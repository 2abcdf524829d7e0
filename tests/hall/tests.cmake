# The end-to-end test is added below.

# Probes of the sandbox itself, run by cases/harness.sh with a shell as the "program".

# make test: installs what is missing, builds everything and runs every test.
# make run [DELAY=n]: builds kelvaro.exe and runs it under Wine.
# make bench: measures size, cost at rest, memory and timing; prints a table.
# make soak: long fuzzing and thread-sanitizer runs; prints their figures.
# make dist: the portable kelvaro.exe and its SHA256SUMS in dist/.
.PHONY: test run bench soak dist clean

test:
	bash scripts/test.sh

run:
	DELAY="$(DELAY)" bash scripts/run.sh

bench:
	bash scripts/bench.sh

soak:
	bash scripts/soak.sh

dist:
	bash scripts/dist.sh

clean:
	rm -rf build dist

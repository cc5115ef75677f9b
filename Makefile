# make test: installs what is missing, builds everything and runs every test.
# make run [DELAY=n]: builds kelvaro.exe and runs it under Wine.
.PHONY: test run clean

test:
	bash scripts/test.sh

run:
	DELAY="$(DELAY)" bash scripts/run.sh

clean:
	rm -rf build

# make test: installs what is missing, builds everything and runs every test.
.PHONY: test clean

test:
	bash scripts/test.sh

clean:
	rm -rf build

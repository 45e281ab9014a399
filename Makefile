# make run   builds Kestrel and starts it (installs what it needs first); no tests
# make test  builds everything, tests and benchmarks included, and runs every test suite
# make deb   builds the Debian package build/kestrel_<version>_<arch>.deb and checks it with lintian
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
# ON adds the test suites and the benchmarks to the build; `make test` sets it.
TESTS ?= OFF

.PHONY: run test build deb deps-run deps-test deps-deb asan clean

run: deps-run build
	$(BUILD)/bin/kestrel

build:
	cmake -S . -B $(BUILD) -G Ninja -DKESTREL_TESTS=$(TESTS)
	cmake --build $(BUILD) -j $(JOBS)

# The value reaches the build prerequisite too.
test: TESTS = ON
test: deps-test build asan
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j $(JOBS)

# The archiver libraries again, under AddressSanitizer and UBSan, without the windows.
asan:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DKESTREL_GUI=OFF -DKESTREL_SANITIZE=ON -DKESTREL_TESTS=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS) -L sanitize

# cpack installs the build into a staging folder (stripped) and packs it.
deb: deps-deb
	cmake -S . -B $(BUILD) -G Ninja -DKESTREL_TESTS=$(TESTS)
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && cpack -G DEB
	lintian $(BUILD)/kestrel_*.deb

deps-run:
	scripts/install-deps.sh --run

deps-test:
	scripts/install-deps.sh --test

deps-deb:
	scripts/install-deps.sh --run
	scripts/install-deps.sh --deb

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)

# make run   builds Kestrel and starts it (installs what it needs first)
# make test  builds everything and runs every test suite
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)

.PHONY: run test build deps-run deps-test asan clean

run: deps-run build
	$(BUILD)/bin/kestrel

build:
	cmake -S . -B $(BUILD) -G Ninja
	cmake --build $(BUILD) -j $(JOBS)

test: deps-test build asan
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The archiver libraries again, under AddressSanitizer and UBSan, without the windows.
asan:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DKESTREL_GUI=OFF -DKESTREL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS) -L sanitize

deps-run:
	scripts/install-deps.sh --run

deps-test:
	scripts/install-deps.sh --test

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)

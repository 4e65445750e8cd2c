# Set-up, build and test in one place. Every target installs what is missing first.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
PACKAGES := build-essential cmake qt6-base-dev libssl-dev libeigen3-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev xvfb poppler-utils python3-ezdxf fonts-liberation2 fonts-urw-base35
EXAMPLE := examples/teaching.sim

.PHONY: deps build run test test-asan bench clean

deps:
	@missing=""; for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    SUDO=""; [ "$$(id -u)" = 0 ] || SUDO=sudo; \
	    $$SUDO apt-get -o DPkg::Lock::Timeout=900 update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get -o DPkg::Lock::Timeout=900 install -y -qq $$missing; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# The program alone (with the data files it reads beside it); the test programs are built by `make test`.
run: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) --target gustrom -j $(JOBS)
	$(BUILD)/src/app/gustrom $(EXAMPLE)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DGUSTROM_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
	    UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DGUSTROM_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	QT_QPA_PLATFORM=offscreen $(BENCH_BUILD)/bench/gustrom_bench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD)

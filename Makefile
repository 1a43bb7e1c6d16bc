# Two entry points for a fresh Debian 12 machine: `make run` and `make test`.
# Both install whatever system packages are missing, then configure and build.
# `make install` (PREFIX, DESTDIR) and `make package` (a Debian package) put it on a lab's machine.

BUILD    ?= build
JOBS     ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
PREFIX   ?= /usr/local
DESTDIR  ?=
# The sanitizer and fuzz builds keep folders of their own; FUZZ_SECONDS is the time per target.
SANITIZE_BUILD ?= build-asan
FUZZ_BUILD     ?= build-fuzz
FUZZ_SECONDS   ?= 60

PACKAGES := build-essential cmake g++ \
            qt6-base-dev qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev libgl-dev \
            libgtest-dev libgmock-dev libbenchmark-dev \
            xvfb xauth \
            dpkg-dev file desktop-file-utils

# The fuzz build's compiler and libFuzzer runtime: only `make fuzz` installs them.
FUZZ_PACKAGES := clang-14 libclang-rt-14-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps fuzz-deps configure build run test sanitize fuzz bench install package clean

all: build

# Installs those of the packages named in $(1) that are missing, without Recommends.
define install-missing
	@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install-missing,$(PACKAGES))

fuzz-deps:
	$(call install-missing,$(FUZZ_PACKAGES))

configure: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Logs, segment programs and the instrument file stay in the build folder.
run: build
	cd $(BUILD) && ./tessaly --data-dir .

# A test that fails is run once more before it counts: on a loaded machine a simulator test
# can still miss its time; a fault that stays fails both runs.
test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --repeat until-pass:2

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer; undefined behaviour
# fails the test it happens in. At -O1 the build is quicker than at -O2 and the sanitizers'
# stack traces stay readable.
sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) $(CMAKE_FLAGS) -DTESSALY_SANITIZE=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g -DNDEBUG"
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# Every fuzz target for FUZZ_SECONDS, built with clang in its own folder.
fuzz: deps fuzz-deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 -DTESSALY_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	FUZZ_SECONDS=$(FUZZ_SECONDS) fuzz/run-targets $(FUZZ_BUILD)

bench: build
	cd $(BUILD) && for b in bench/bench_*; do [ -x "$$b" ] && "$$b"; done

# Asks for sudo only when the target folder cannot be written as it is.
install: build
	@target="$(DESTDIR)$(PREFIX)"; \
	until [ -e "$$target" ]; do target=$$(dirname "$$target"); done; \
	sudo=""; [ -w "$$target" ] || sudo="$(SUDO)"; \
	$$sudo env DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# tessaly_<version>_<arch>.deb in the build folder; its Depends line lists the runtime libraries.
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)

# Two entry points for a fresh Debian 12 machine: `make run` and `make test`.
# Both install whatever system packages are missing, then configure and build.
# `make install` (PREFIX, DESTDIR) and `make package` (a Debian package) put it on a lab's machine.

BUILD    ?= build
JOBS     ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
PREFIX   ?= /usr/local
DESTDIR  ?=

PACKAGES := build-essential cmake g++ \
            qt6-base-dev qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev libgl-dev \
            libgtest-dev libgmock-dev libbenchmark-dev \
            xvfb xauth \
            dpkg-dev file desktop-file-utils

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build run test bench install package clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

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
	rm -rf $(BUILD)

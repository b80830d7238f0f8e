# ＣＲぽぷちゃんシミュレーション — two commands: `make run` and `make test`.
PRESET   ?= release
BUILD    := build/$(PRESET)
PROGRAM  := $(BUILD)/src/popchan
PACKAGES := $(shell grep -v '^\#' packages.txt)
SUDO     := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)
# Private runtime directory for test runs, so Qt has nothing to complain about.
TEST_ENV := XDG_RUNTIME_DIR=$$(mktemp -d) QT_QPA_PLATFORM=offscreen

.PHONY: all deps configure build run test screenshot bench pictures format install clean

all: build

# Installs the Debian packages of packages.txt that are missing; nothing when all are there.
deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' "$$p" 2>/dev/null | grep -q '^install ok installed' || echo "$$p"; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing missing packages:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

$(BUILD)/build.ninja:
	cmake --preset $(PRESET)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build --preset $(PRESET)

run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: no display (DISPLAY is not set); start it from a desktop session." >&2; exit 1; fi
	$(PROGRAM)

test: build
	$(TEST_ENV) ctest --preset $(PRESET)

# Pictures of the main window under Xvfb, for the README: at start-up, and
# six hours into a seeded day.
SHOT := XDG_RUNTIME_DIR=$$(mktemp -d) xvfb-run -a -s "-screen 0 1024x768x24" $(BUILD)/tools/screenshot
screenshot: build
	$(SHOT) docs/screenshot.png
	$(SHOT) docs/screenshot-day.png day 1 6
	$(SHOT) docs/premises.png premises
	QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$$(mktemp -d) $(BUILD)/tools/display_sheet docs/display.png docs/reaches.png

# Figures of speed: lotteries per second; start-up, idle and running CPU, the clock's pace.
bench: build
	$(BUILD)/bench/lottery_bench
	$(BUILD)/bench/display_bench
	bench/batch.sh $(BUILD)
	bench/window.sh $(BUILD)

# Draws the pictures in assets/pictures anew.
pictures: build
	QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$$(mktemp -d) $(BUILD)/tools/make_pictures assets/pictures

# Installs into PREFIX (default /usr/local): program, music, help, launcher,
# menu entry and icon.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build

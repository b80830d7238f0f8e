# ＣＲぽぷちゃんシミュレーション — two commands: `make run` and `make test`.
PRESET   ?= release
BUILD    := build/$(PRESET)
PROGRAM  := $(BUILD)/src/popchan
PACKAGES := $(shell grep -v '^\#' packages.txt)
SUDO     := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)
# Private runtime directory for test runs, so Qt has nothing to complain about.
TEST_ENV := XDG_RUNTIME_DIR=$$(mktemp -d) QT_QPA_PLATFORM=offscreen

.PHONY: all deps configure build run web web-site web-screenshot test sanitize fuzz screenshot bench pictures format install package test-reproducible mutate clean

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
ifeq ($(DISPLAY)$(WAYLAND_DISPLAY),)
	$(error no display to show the window on (DISPLAY is not set); run it in a desktop session)
endif
	$(PROGRAM)

# The web page: the core built with emscripten into the static site build/web/,
# served on the loopback address.
WEB_BUILD := build/web-build
WEB_SITE  := $(CURDIR)/build/web
$(WEB_BUILD)/build.ninja:
	emcmake cmake -S . -B $(WEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPOPCHAN_BUILD_APP=OFF \
	  -DBUILD_TESTING=OFF -DPOPCHAN_BUILD_BENCH=OFF -DPOPCHAN_HARDENING=OFF -DPOPCHAN_WEB_SITE=$(WEB_SITE)
web-site: deps $(WEB_BUILD)/build.ninja src/web/node_modules/.package-lock.json
	cmake --build $(WEB_BUILD)
web: web-site
	@echo "The page is at http://127.0.0.1:8000/ (Ctrl+C stops the server)"
	cd $(WEB_SITE) && python3 -m http.server --bind 127.0.0.1 8000

# Pictures of the page for the README (docs/web.png, docs/web-phone.png); with
# ENGINE=chromium, firefox or webkit, that engine's at a desktop's and a phone's
# sizes into build/shots/.
web-screenshot: web-site tests/web/node_modules/.package-lock.json
	mkdir -p build/shots
	cd $(WEB_SITE) && python3 -m http.server --bind 127.0.0.1 8000 >/dev/null 2>&1 & s=$$!; \
	sleep 1; $(if $(filter webkit,$(ENGINE)),xvfb-run -a -s "-screen 0 1400x1000x24") node tests/web/screenshot.js \
	  http://127.0.0.1:8000/ $(if $(ENGINE),build/shots $(ENGINE),docs); r=$$?; kill $$s; exit $$r

# The npm packages of the page and of its tests, as each package-lock.json pins them.
%/node_modules/.package-lock.json: %/package-lock.json
	@command -v npm >/dev/null || { echo "npm is missing: install Node.js with npm"; exit 1; }
	cd $* && npm ci --no-audit --no-fund --loglevel=error

# Both builds, then both builds' tests at once, each on both cores: the
# sanitizer build's long runs and the release build's many short ones fill each
# other's gaps. At the end, how long each phase took.
test: deps
	@mkdir -p build && rm -f build/phases.txt && date +%s > build/test-start
	@tools/phase.sh "configure" $(MAKE) --no-print-directory $(BUILD)/build.ninja build/sanitize/build.ninja
	@tools/phase.sh "web page (emscripten) and npm" $(MAKE) --no-print-directory web-site \
	  tests/web/node_modules/.package-lock.json
	@tools/phase.sh "release build" cmake --build --preset $(PRESET) --target test_programs
	@tools/phase.sh "sanitizer build" cmake --build --preset sanitize --target test_programs
	@for tree in $(BUILD) build/sanitize; do mkdir -p $$tree/Testing/Temporary; \
	  [ -e $$tree/Testing/Temporary/CTestCostData.txt ] || \
	  grep -v '^#' tests/ctest_costs.txt > $$tree/Testing/Temporary/CTestCostData.txt; done
	@$(TEST_ENV) tools/phase.sh "release tests" ctest --preset $(PRESET) -j2 > $(BUILD)/ctest.log 2>&1 & r=$$!; \
	tools/phase.sh "sanitizer tests (beside them)" ctest --preset sanitize -j2 > build/sanitize/ctest.log 2>&1 & s=$$!; \
	wait $$r; a=$$?; wait $$s; b=$$?; \
	for run in "release $$a $(BUILD)" "sanitizer $$b build/sanitize"; do \
	  set -- $$run; echo "== $$1 tests (whole log: $$3/ctest.log)"; \
	  if [ $$2 -eq 0 ]; then grep -E "tests passed|Total Test time" $$3/ctest.log; else cat $$3/ctest.log; fi; \
	done; \
	echo "== phases (seconds)"; awk -F '\t' '{ printf "  %-32s %5d\n", $$1, $$2 }' build/phases.txt; \
	printf "  %-32s %5d\n" "make test in all" $$(( $$(date +%s) - $$(cat build/test-start) )); \
	test $$a -eq 0 && test $$b -eq 0

# The core and its tests with AddressSanitizer and UndefinedBehaviorSanitizer.
build/sanitize/build.ninja:
	cmake --preset sanitize
sanitize: deps build/sanitize/build.ninja
	cmake --build --preset sanitize
	ctest --preset sanitize -j2

# Each fuzz target for FUZZ_SECONDS (default 600), both at once.
FUZZ_SECONDS ?= 600
build/fuzz/build.ninja:
	cmake --preset fuzz
fuzz: deps build/fuzz/build.ninja
	cmake --build --preset fuzz
	mkdir -p build/fuzz/corpus/premises build/fuzz/corpus/options
	build/fuzz/fuzz/premises_fuzz -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  build/fuzz/corpus/premises fuzz/seeds/premises > build/fuzz/premises.log 2>&1 & p=$$!; \
	build/fuzz/fuzz/options_fuzz -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  build/fuzz/corpus/options fuzz/seeds/options fuzz/regressions > build/fuzz/options.log 2>&1 & o=$$!; \
	wait $$p; a=$$?; wait $$o; b=$$?; \
	tail -n 8 build/fuzz/premises.log build/fuzz/options.log; \
	test $$a -eq 0 && test $$b -eq 0

# Pictures of the windows under Xvfb, for the README: the main window at
# start-up, six hours into a seeded day and in its five layouts, the premises
# dialog, the about and how-to windows, the help, the options, help and speed
# menus opened, and the day at a scale factor of 2.
SHOT := XDG_RUNTIME_DIR=$$(mktemp -d) xvfb-run -a -s "-screen 0 1024x768x24" $(BUILD)/tools/screenshot
screenshot: build
	$(SHOT) docs/screenshot.png
	$(SHOT) docs/screenshot-day.png day 1 6
	$(SHOT) docs/premises.png a2
	for i in 0 1 2 3 4; do $(SHOT) docs/layout$$i.png day 1 3 g2_$$i; done
	$(SHOT) docs/about.png d4
	$(SHOT) docs/howto.png d3
	$(SHOT) docs/help.png d2
	$(SHOT) docs/menu-options.png open:1/0/1
	$(SHOT) docs/menu-help.png open:2
	$(SHOT) docs/menu-speed.png open:1/4
	QT_SCALE_FACTOR=2 XDG_RUNTIME_DIR=$$(mktemp -d) xvfb-run -a -s "-screen 0 1600x1200x24" $(BUILD)/tools/screenshot docs/scale2.png day 1 6
	QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$$(mktemp -d) $(BUILD)/tools/display_sheet docs/display.png docs/reaches.png

# Figures of speed: lotteries per second; start-up, idle and running CPU, the clock's pace;
# CPU and pace at each play speed.
bench: build web-site tests/web/node_modules/.package-lock.json
	$(BUILD)/bench/lottery_bench
	$(BUILD)/bench/display_bench
	bench/batch.sh $(BUILD)
	bench/window.sh $(BUILD)
	bench/speed.sh $(BUILD)
	bench/music.sh $(BUILD)
	node bench/web.js $(WEB_SITE)
	node bench/analysis.js $(WEB_SITE) $(BUILD)/src/popchan-batch

# Draws the pictures in assets/pictures anew.
pictures: build
	QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$$(mktemp -d) $(BUILD)/tools/make_pictures assets/pictures

# Installs into PREFIX (default /usr/local): program, music, help, launcher,
# menu entry and icon.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian packages, built from a clean copy of the tree as a build daemon
# builds them (dpkg-buildpackage -us -uc -b, with the tests that need no display),
# into build/debian/: popchan_<version>_<arch>.deb, the desktop program with its
# music, help, menu entry, icons, metainfo and manual page,
# popchan-batch_<version>_<arch>.deb, the command-line tool alone, their -dbgsym
# packages, the .buildinfo and .changes, and the source package (.dsc, .tar.xz).
package: deps
	tools/debian_package.sh build/debian

# Both builds of the packages again, twice, in two folders at two times, compared
# byte by byte (about twice as long as `make package`; not part of `make test`).
test-reproducible: deps
	tools/reproducible.sh build/reproducible

# Mutation testing of the rule code, a report apart from `make test`; for
# instance make mutate ARGS="--sample 20 --jobs 2" (see tools/mutate.py --help).
mutate: deps
	python3 tools/mutate.py $(ARGS)

format: tests/web/node_modules/.package-lock.json
	clang-format -i $$(git ls-files '*.cpp' '*.h')
	tests/web/node_modules/.bin/prettier --write "src/web/site/*.js" "src/web/site/*.css" "tests/web/*.js" \
	  "bench/*.js" eslint.config.cjs

clean:
	rm -rf build

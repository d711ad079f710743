# Set-up, build, run and test on a Debian machine. Run as root on a fresh machine: the missing
# packages are installed first.
BUILD ?= build
JOBS ?= 2
PACKAGES = build-essential cmake g++ libgtest-dev googletest libbenchmark-dev \
	qt6-base-dev qt6-multimedia-dev qt6-svg-dev libgl-dev fonts-liberation2 fonts-dejavu-core \
	locales gstreamer1.0-plugins-base poppler-utils desktop-file-utils shared-mime-info \
	pulseaudio pulseaudio-utils clang-format clang-tidy libnlopt-cxx-dev \
	libsundials-dev python3-iapws
# Only `make fuzz` needs these: clang and its libFuzzer runtime.
FUZZ_PACKAGES = clang libclang-rt-dev
# Seconds of fuzzing per `make fuzz`.
FUZZ_TIME ?= 600
RUNDIR = $(BUILD)/run
# Where `make install` puts the program (PREFIX/bin) and its files (PREFIX/share).
PREFIX ?= /usr/local

# Installs those of the Debian packages named that are missing.
install_missing = missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi

.PHONY: all deps configure build program run install test sanitize fuzz bench format clean

all: build

deps:
	@$(call install_missing,$(PACKAGES))
	@if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$$'; then \
	  sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen 2>/dev/null; \
	  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen; \
	  locale-gen >/dev/null; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=$(PREFIX)

# Everything: the program, the test suites, the sanitized copy of the core, the benchmarks.
build: configure
	cmake --build $(BUILD) -j$(JOBS)

# The program alone, all that `make run` and `make install` need: on a fresh machine the window
# opens without waiting for the test suites to compile.
program: configure
	cmake --build $(BUILD) -j$(JOBS) --target tarn1

# The program starts in a folder that holds its wave and instruction files.
run: program
	mkdir -p $(RUNDIR)
	cp resources/Exhaust.wav resources/Error.wav resources/instruct.doc resources/TarnISpIns.doc $(RUNDIR)/ 2>/dev/null || true
	cd $(RUNDIR) && ../tarn1

# The program, its wave and instruction files, the desktop entry, icon and design file type.
# DESTDIR stages the files for a package.
install: program
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B $(BUILD)-asan -DCMAKE_BUILD_TYPE=Debug -DTARN_SANITIZE=ON
	cmake --build $(BUILD)-asan -j$(JOBS)
	cd $(BUILD)-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure

# The dimension-file-to-picture fuzz target under libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer, one job, seeded from tests/fuzz/corpus. New inputs go to
# $(BUILD)-fuzz/corpus, a failing input to $(BUILD)-fuzz/crash-* (replay it with
# `$(BUILD)/dimfile_fuzz_replay FILE`).
fuzz: deps
	@$(call install_missing,$(FUZZ_PACKAGES))
	cmake -S . -B $(BUILD)-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DTARN_GUI=OFF -DTARN_FUZZ=ON
	cmake --build $(BUILD)-fuzz -j$(JOBS) --target dimfile_fuzz
	mkdir -p $(BUILD)-fuzz/corpus
	cd $(BUILD)-fuzz && ./dimfile_fuzz -max_total_time=$(FUZZ_TIME) -max_len=1400 -print_final_stats=1 \
	  -artifact_prefix=./ corpus $(CURDIR)/tests/fuzz/corpus

bench: build
	@for b in $(BUILD)/core_bench $(BUILD)/gui_bench; do \
	  [ -x $$b ] && QT_QPA_PLATFORM=offscreen $$b --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; \
	done; true

# Lays out every C++ file as .clang-format says.
format: deps
	clang-format -i $$(git ls-files 'core/*.cpp' 'core/*.h' 'gui/*.cpp' 'gui/*.h' 'cli/*.cpp' \
	  'cli/*.h' 'app/*.cpp' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h')

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-fuzz

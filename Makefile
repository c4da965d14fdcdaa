# One-command set-up on a fresh Debian 12 machine: `make run` and `make test`.
#
# ARCH=arm64 builds, tests and packages the client for that architecture instead, in
# build-arm64: cross-compiled here, its unit tests and its packaged client run under
# qemu's user-mode emulation.
HOST_ARCH := $(shell dpkg --print-architecture)
ARCH ?= $(HOST_ARCH)
# Debian's GNU triplet of each architecture the client is cross-built for; each has its
# CMake toolchain file in cmake/.
CROSS_TRIPLET_arm64 := aarch64-linux-gnu
ifeq ($(ARCH),$(HOST_ARCH))
BUILD_DIR ?= build
else
CROSS_TRIPLET := $(CROSS_TRIPLET_$(ARCH))
ifeq ($(CROSS_TRIPLET),)
$(error ARCH=$(ARCH): the client is cross-built for arm64 only)
endif
BUILD_DIR ?= build-$(ARCH)
endif
SANITIZE_DIR ?= build-sanitize
JOBS ?= $(shell nproc)
SERVICE_HOST ?=
# Where `make install` puts the client.
PREFIX ?= /usr/local
# WERROR=1: compiler warnings fail the build (CI builds this way).
WERROR ?=

# Every Debian package the build, the tests and the client need.
PACKAGES := cmake g++ make pkg-config git \
	qt6-base-dev qt6-webengine-dev libqt6webenginecore6-bin qt6-translations-l10n qt6-pdf-dev \
	qt6-multimedia-dev libgl-dev libgtest-dev libgmock-dev nlohmann-json3-dev libcpp-httplib-dev \
	xvfb xauth xdotool icewm fonts-noto-cjk iproute2 clang-tidy qt6-svg-dev \
	file desktop-file-utils appstream dpkg-dev lintian openssl

# The libraries a cross build links, of the target architecture.
CROSS_LIBRARIES := qt6-base-dev qt6-webengine-dev qt6-pdf-dev qt6-multimedia-dev qt6-svg-dev libgl-dev \
	libgtest-dev libgmock-dev libcpp-httplib-dev

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: all deps configure build test run bench clean format lint check-sanitize install package \
	deps-windows test-windows

all: build

# Installs those of the given Debian packages that are missing.
define install_missing
	@missing=""; \
	for p in $(1); do \
		dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
		echo "Installing:$$missing"; \
		$(SUDO) apt-get update -qq && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))
ifdef CROSS_TRIPLET
	./scripts/prepare-cross.sh $(ARCH) $(CROSS_TRIPLET) $(CROSS_LIBRARIES)
endif

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
		-DQUILLMARK_WERROR=$(if $(WERROR),ON,OFF) \
		-DQUILLMARK_SERVICE_HOST=$(or $(SERVICE_HOST),127.0.0.1) \
		$(if $(CROSS_TRIPLET),-DCMAKE_TOOLCHAIN_FILE=cmake/$(CROSS_TRIPLET).cmake) >/dev/null

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# A cross build runs what runs under emulation: the unit tests and the package's checks.
test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 600 \
		$(if $(CROSS_TRIPLET),-L 'unit|packaging')

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# BUILD_DIR/quillmark-erp_<version>_<arch>.deb; SERVICE_HOST=... builds it for that host,
# ARCH=arm64 for that architecture (build-arm64/quillmark-erp_<version>_arm64.deb).
package: build
	cd $(BUILD_DIR) && cpack -G DEB

run: build
	./scripts/run-client.sh $(BUILD_DIR)

bench: build
	cmake --build $(BUILD_DIR) --target benchmarks -j $(JOBS)
	./scripts/run-benchmarks.sh $(BUILD_DIR)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

# The checks of .clang-tidy over every source file of the build (tests included).
lint: configure
	./scripts/run-clang-tidy.sh $(BUILD_DIR) $(JOBS)

# The portable logic, the OS services and the demo service under AddressSanitizer and
# UndefinedBehaviorSanitizer: their unit tests (label "unit"), built in a tree of their own.
check-sanitize: deps
	@cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DQUILLMARK_SANITIZE=ON \
		-DQUILLMARK_WERROR=$(if $(WERROR),ON,OFF) >/dev/null
	cmake --build $(SANITIZE_DIR) -j $(JOBS) --target core_tests platform_tests demo_service_tests
	cd $(SANITIZE_DIR) && ctest -L unit --output-on-failure -j $(JOBS) --timeout 600

# The layers below the engine (core, platform, the identity tool) cross-built for 64-bit
# Windows with mingw-w64 in build-windows, and their unit tests run under Wine: headless,
# in a Wine prefix of that build's own, under a Chinese locale (console code page 936)
# compiled into the build directory rather than installed.
WINDOWS_DIR ?= build-windows
WINDOWS_PACKAGES := cmake make mingw-w64 g++-mingw-w64-x86-64-posix wine64 googletest locales
WINE_ENV := WINEPREFIX=$(CURDIR)/$(WINDOWS_DIR)/wineprefix WINEDEBUG=-all DISPLAY= \
	WAYLAND_DISPLAY= LOCPATH=$(CURDIR)/$(WINDOWS_DIR)/locale LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
WINE_DIR := /usr/lib/wine

deps-windows:
	$(call install_missing,$(WINDOWS_PACKAGES))

test-windows: deps-windows
	@cmake -S . -B $(WINDOWS_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMARK_WERROR=$(if $(WERROR),ON,OFF) >/dev/null
	cmake --build $(WINDOWS_DIR) -j $(JOBS)
	@[ -d $(WINDOWS_DIR)/locale/zh_CN.UTF-8 ] || { mkdir -p $(WINDOWS_DIR)/locale && \
		localedef -i zh_CN -f UTF-8 $(WINDOWS_DIR)/locale/zh_CN.UTF-8; }
	@# Windows get Wine's null display driver: there is no display here.
	@[ -f $(WINDOWS_DIR)/wineprefix/system.reg ] || { \
		env $(WINE_ENV) $(WINE_DIR)/wine64 wineboot --init >/dev/null 2>&1 && \
		env $(WINE_ENV) $(WINE_DIR)/wine64 reg add 'HKCU\Software\Wine\Drivers' \
			/v Graphics /d null /f >/dev/null 2>&1; }
	cd $(WINDOWS_DIR) && env $(WINE_ENV) ctest --output-on-failure --timeout 400; \
		status=$$?; env $(WINE_ENV) $(WINE_DIR)/wineserver -k 2>/dev/null; exit $$status

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(WINDOWS_DIR)

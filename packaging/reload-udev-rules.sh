#!/bin/sh
# The package's postinst and postrm (DEB), post-install and post-uninstall
# (RPM): makes the arrival or removal of the wheel's udev rule take effect at
# once, also for a wheel that is already plugged in, so that nobody has to
# reload the rules or re-plug the wheel. Where udev is not running (a
# container, a chroot, an image being built) there is nothing to reload and it
# does nothing; a failing udevadm never fails the package operation.
set -e

udev_running() {
    command -v udevadm >/dev/null 2>&1 || return 1
    # udevd's control socket exists only while it runs.
    [ -S /run/udev/control ] || return 1
    # ischroot (Debian's debianutils) answers 0 only when it is sure.
    if command -v ischroot >/dev/null 2>&1 && ischroot; then
        return 1
    fi
    return 0
}

if udev_running; then
    udevadm control --reload-rules || true
    udevadm trigger --subsystem-match=hidraw --action=add || true
fi
exit 0

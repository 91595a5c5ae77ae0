#pragma once
// A Z-ARC on an emulated hidraw node, for end-to-end tests through the
// system's hidapi. umockdev fakes sysfs, udev and /dev for this process and for
// every child it starts (each needs libumockdev-preload in LD_PRELOAD; see
// preloadMissing()). The wheel appears as usb device -> usb interface -> hid
// device -> hidraw node, and the node's ioctls (HIDIOCGRDESCSIZE,
// HIDIOCGRDESC, HIDIOCSFEATURE, HIDIOCGFEATURE) and writes are answered by the
// simulated wheel's model. A test sets the wheel up, injects faults and reads
// what the wheel received through sim/SimWheel.h, exactly as with the
// simulated hidapi: sim::failReport (the ioctl or write fails with EPIPE),
// sim::vanishAtReport, sim::setReportLatency (the answer comes that much
// later), sim::received(), sim::openCount() (a connection counts as an open at
// its first request: umockdev connects before the open itself is decided).
//
// The node follows the model: when the model is no longer available (unplugged
// with sim::setPresent(false) or unplug(), restarting after a firmware finish,
// vanished at a report) the devices go, with "remove" uevents; when it is
// available again a fresh chain comes back under new names down to the node
// (hidraw0, hidraw1, ...) with "add" uevents, as a real re-enumeration does.
// Handles still open on an old node fail with ENODEV, like the kernel's. A
// udev monitor in a preloaded process (this one or a child) sees the uevents;
// nodePath() and plugCount() tell which node is the current one.
//
//   sim::reset();
//   WheelBed bed;                 // the wheel plugged in
//   bed.unplug(); bed.replug();   // the node gone, then back as /dev/hidraw1
//   bed.denyPermission(true);     // node mode 0600: only root opens it
//
// All members are for the thread that made the bed; the node is answered on
// umockdev's own worker thread.

#include "device/protocol.h"

#include <QString>

#include <memory>

class WheelBed
{
public:
    // What the wheel's report descriptor shows: its feature report's length
    // with the id (a longer one carries the wheel's 20 bytes at its front,
    // zeros after), and a joystick collection after the wheel's own.
    struct Descriptor {
        int featureLength = int(vorla::kReportSize);
        bool joystick = false;
    };

    // Builds the testbed (and sets UMOCKDEV_DIR for children); the wheel is
    // plugged in if the model is available.
    WheelBed();
    explicit WheelBed(Descriptor descriptor);
    ~WheelBed();
    WheelBed(const WheelBed &) = delete;
    WheelBed &operator=(const WheelBed &) = delete;

    // For main(), before anything else: runs this program again with umockdev's
    // preload library in LD_PRELOAD (and, in a sanitized build, without ASan's
    // check that its runtime comes first) unless it is there already. Children
    // inherit both.
    static void reexecWithPreload(char **argv);
    // Why umockdev cannot stand a wheel in this process, or empty when it can.
    // Call it first, before any bed exists (its probe unsets UMOCKDEV_DIR).
    static QString preloadMissing();

    // The wheel pulled out (the model too) / plugged back in under fresh names.
    // Both return once the node is gone / there.
    void unplug();
    void replug();

    // Whether the node is there now.
    bool plugged() const;
    // The current node, e.g. "/dev/hidraw0" (the last one while unplugged), and
    // how many nodes the wheel had so far.
    QString nodePath() const;
    int plugCount() const;

    // With `deny`, the node (and the ones plugged later) has mode 0600 and
    // belongs to root: a process that is not root cannot open it.
    void denyPermission(bool deny);

    // The testbed's directory (UMOCKDEV_DIR of the children).
    QString rootDir() const;

    struct Private; // public only for umockdev's callbacks

private:
    std::unique_ptr<Private> d;
};

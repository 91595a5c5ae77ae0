#pragma once
// The simulated wheel: a stand-in for a Z-ARC behind the hidapi functions the
// program calls (hid_init, hid_exit, hid_open, hid_close, hid_write,
// hid_send_feature_report, hid_get_feature_report, hid_error). Link it instead
// of hidapi and the program, or a test, talks to this model.
//
// The model keeps stored settings (what queries answer) apart from previewed
// ones (what the LEDs and paddles show), stores only on the store markers,
// checks every report against the wheel's layouts, and records what it
// received. Anything malformed fails with -1, hid_error() says why, and the
// violation is recorded so that a test can assert a scenario made none.
//
// This header is the control API for tests and the -sim program. All of it is
// safe to call from any thread.

#include "device/leds.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace sim {

enum class ReportKind {
    FeatureSend, // hid_send_feature_report
    FeatureGet,  // hid_get_feature_report (bytes as handed in)
    Output,      // hid_write
};

struct ReceivedReport {
    ReportKind kind;
    std::vector<std::uint8_t> bytes;
    std::thread::id thread;
    bool accepted; // false when the call returned -1
};

// Back to a fresh wheel: default settings, present, no faults, nothing
// recorded, nothing persisted, no reboot pending.
void reset();

// The factory settings: a palette, combined paddles at 60, version "1.0.3".
vorla::LedBlock defaultLedBlock();
constexpr std::uint8_t kDefaultPaddle = 60;
constexpr const char *kDefaultVersion = "1.0.3";

// Stored settings (what the wheel answers queries with).
void setStoredLeds(const vorla::LedBlock &block);
vorla::LedBlock storedLeds();
void setStoredPaddle(std::uint8_t value);
std::uint8_t storedPaddle();
// The version text; up to 19 bytes are answered, without a terminating zero
// when the text fills all 19.
void setVersion(const std::string &text);
std::string version();

// What the wheel shows right now: the last preview or store, or what it
// stores once it was unplugged.
vorla::LedBlock shownLeds();
std::uint8_t shownPaddle();

// The last image written by a firmware finish, and how many finishes came.
std::vector<std::uint8_t> firmwareImage();
int firmwareWrites();

// After a firmware finish the wheel reboots: it is gone from hid_open for
// this long (default 2 s), then present again. Handles open before are dead.
void setRebootDuration(std::chrono::milliseconds duration);
bool rebooting();

// The wheel as Windows' HID stack shows it: its feature reports are
// `featureLength` bytes long, and a feature read into a shorter buffer fails
// (0: any length of at least a report goes, as on Linux); and it shows
// `collections` HID interfaces (top-level collections), each under a path of
// its own, of which only the last answers the wheel's reports.
void setWindowsHid(std::size_t featureLength, int collections);
// The feature report length of the interface at an enumerated path (0 as on
// Linux), as the program's featureReportLength() asks the system.
std::size_t featureReportLength(const char *path);

// Plugged in or not. Unplugging kills open handles.
void setPresent(bool present);
bool present();
int openCount(); // successful opens since reset()
int lookupCount(); // hid_enumerate calls since reset(), found or not

// A wheel whose node this user may not open (no udev rule): it is listed by
// hid_enumerate, and hid_open/hid_open_path fail with errno EACCES.
void setPermissionDenied(bool denied);

// Told whenever the wheel is plugged in (true) or pulled out (false): by
// setPresent, a scheduled event or vanishAtReport. Called on whichever thread
// caused it, with the wheel busy: it must only pass the news on (e.g. post it
// to a Qt object), never call back into the wheel. One listener at a time;
// an empty function removes it.
void setPresenceListener(std::function<void(bool present)> listener);

// Plug events carried out by the wheel itself `after` from now, in order; an
// event due now (`after` 0) is carried out before schedule() returns.
// ForgetStores and KeepStores switch setForgetStores on and off.
enum class PlugEvent { Unplug, Plug, Deny, Allow, ForgetStores, KeepStores };
void schedule(std::chrono::milliseconds after, PlugEvent event);

// Schedules the events of a script such as
//     "unplug@5s plug@8s deny@0s allow@12s unplug@report40+3s forget-store@0s keep-store@20s"
// (times from now; unplug@reportN pulls the wheel out at the Nth report, and
// +DURATION plugs it back in that long after). Returns what is wrong with the
// script, or ""; a script with a mistake schedules nothing.
std::string runEventScript(const std::string &script);

// Faults. Reports are counted from 1 over every hid_send_feature_report,
// hid_get_feature_report and hid_write since reset(). failReport(n) makes the
// nth call fail; with fromThenOn, every call from the nth on. vanishAtReport(n)
// unplugs the wheel as the nth call arrives (that call fails).
void failReport(int n, bool fromThenOn = false);
// With returnAfter >= 0, the wheel is plugged back in that long after it left.
void vanishAtReport(int n, std::chrono::milliseconds returnAfter = std::chrono::milliseconds(-1));

// A wheel that accepts store reports and does not keep them (a full flash, a
// firmware fault): a store is shown like a preview, and queries go on
// answering the settings stored before.
void setForgetStores(bool forget);

// How long each report takes to go through (default none); lets a test widen
// the window in which two threads could overlap.
void setReportLatency(std::chrono::microseconds latency);

// Everything received since reset(), in arrival order.
std::vector<ReceivedReport> received();
// Only the reports of one kind (accepted or not).
std::vector<std::vector<std::uint8_t>> received(ReportKind kind);
void clearReceived();

// Protocol violations since reset(), each a short English sentence.
std::vector<std::string> violations();

// Keep stored settings in a file (sim/StateFile.h): loaded now if it exists,
// written now and after every store. Used by the -sim program only; tests stay
// in memory. Returns why the settings will not be kept (also said once on
// standard error), or "". A place that cannot be used at all (not a regular
// file, unreadable) leaves the wheel in memory; a damaged file is said once
// and replaced with the factory settings.
std::string enablePersistence(const std::string &path);

} // namespace sim

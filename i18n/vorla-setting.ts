<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>CommandLine</name>
    <message>
        <source>done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the profile file could not be written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>wrong use of the options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no wheel is plugged in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a wheel is plugged in, but this user may not open it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print the firmware version, the paddle setting and the 26 LED colours.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>With --info: print them as a profile (JSON).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write the wheel&apos;s settings to &lt;file&gt; as a profile.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preview the profile in &lt;file&gt; on the wheel.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>With --apply: store the profile in the wheel.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exit status:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--json goes with --info only.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--store goes with --apply only.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No device.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Permission denied: the wheel is plugged in, but this user may not open it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can not read setting: the wheel did not answer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware version: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paddles: combined, bite point %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paddles: not combined</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LED colours (slot, button, colour):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel refused a report: the LED colours were not stored.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel refused a report: the LED colours were not previewed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LED colours stored.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LED colours previewed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel refused a report: the paddle setting was not stored.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel refused a report: the paddle setting was not previewed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paddle setting stored.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paddle setting previewed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel did not answer when asked what it stores: the LED colours may not be stored.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel did not keep the LED colours: it still stores others.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel did not answer when asked what it stores: the paddle setting may not be stored.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel did not keep the paddle setting: it still stores another.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copyright (C) 2026 The Vorla Setting developers
License GPL-3.0-or-later: GNU GPL version 3 or later &lt;https://gnu.org/licenses/gpl.html&gt;.
This is free software: you are free to change and redistribute it.
There is NO WARRANTY, to the extent permitted by law.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file given (profile or firmware image) cannot be read or is not valid</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the wheel refused a report or did not answer, or did not keep what was stored;
also: another instance is upgrading the wheel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the wheel did not come back after the upgrade</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vorla Setting: the LED colours, paddles and firmware of the Vorla Z-ARC wheel.
Without an option it opens its window; with one of --info, --export, --apply or
--upgrade it works without a window.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show this help.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write the firmware image in &lt;file&gt; (a .bin file) into the wheel. On a terminal it asks first.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>With --upgrade: upgrade without asking (for scripts).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Examples:
  vorla-setting --export my-wheel.json         save the settings as a profile
  vorla-setting --apply my-wheel.json --store  store a profile in the wheel
  vorla-setting --upgrade firmware.bin         upgrade, after a question

More in the manual page (man vorla-setting); the profile format is described in
docs/profile-format.md.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Give one of --info, --export, --apply or --upgrade (see --help).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--yes goes with --upgrade only.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another Vorla Setting is upgrading the wheel&apos;s firmware: nothing was sent. Try again once it is done.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: not a firmware image: its name does not end in .bin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: can not be read: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: not a firmware image: it holds %2 bytes; the wheel takes 1 to %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not asked: this is no terminal. Give --yes to upgrade without the question.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The firmware was not upgraded.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Upgrade the wheel&apos;s firmware %1 with %2 (%3 bytes, SHA-256 %4)? [y/N] </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The firmware upgrade cannot be interrupted; it ends in about %1 s.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not a valid firmware.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting for the wheel ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel refused a report: the firmware upgrade failed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Upgrade firmware done.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel went away during the upgrade: the firmware upgrade failed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel refused a report, and did not come back.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel did not come back after the upgrade. Plug it out and in again, then check its firmware version with --info.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DisconnectedBanner</name>
    <message>
        <source>The wheel is disconnected. Waiting for it to be plugged in again ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another Vorla Setting is upgrading the wheel&apos;s firmware. Waiting for it to finish ...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FirmwareFile</name>
    <message>
        <source>not a regular file</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ImageCheck</name>
    <message>
        <source>This file is a ZIP archive, not a firmware image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file is a 7z archive, not a firmware image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file is a RAR archive, not a firmware image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file is compressed with gzip, not a firmware image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file is compressed with xz, not a firmware image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file is compressed with bzip2, not a firmware image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file is Intel HEX text, not the binary firmware image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file is Motorola S-record text, not the binary firmware image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file is an ELF program, not the binary firmware image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file is a Windows program, not a firmware image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file is a macOS program, not a firmware image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file is a PDF document, not a firmware image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file is a PNG picture, not a firmware image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file is a JPEG picture, not a firmware image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file is a UF2 file for a USB drive bootloader, not the binary firmware image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file is text, not a firmware image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file holds nothing but zero bytes: it is blank, not a firmware image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file holds nothing but 0xFF bytes, as erased flash does: it is not a firmware image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unpack it and choose the .bin file inside.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the wheel&apos;s .bin firmware image instead.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Vorla Setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VORLA Z-ARC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>INPUTS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RGB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DEVICE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PADDLES</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ABOUT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>BITE POINT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>COMBINED</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FIRMWARE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Upgrade</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Uploading ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>www.vorla-racing.com</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Notify</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware upgrade in progress.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting for the wheel ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can not read setting.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware Version:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select Color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Success</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LED colors saved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can not save setting.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paddle status saved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware File (*.bin);;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not a valid firmware.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Writing ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Upgrade firmware done.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Upgrade firmware failed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel is connected, but this user may not open it. Install the udev rule 60-vorla-z-arc.rules (see README) and plug the wheel in again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Colour profiles (*.json);;All files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export colours…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import colours…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export colours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import colours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel is connected, but it may not be opened: another program may be using it. Close that program and plug the wheel in again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose firmware file…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Upload progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LED %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Colour %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel shows LED colours that it has not stored. Save Setting stores them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel did not answer when asked what it stores: the LED colours may not be saved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel did not keep the LED colours. The page shows the colours it stores.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel did not answer when asked what it stores: the paddle setting may not be saved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel did not keep the paddle setting. The page shows the setting it stores.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel shows LED colours and a paddle setting that it has not stored.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel shows LED colours that it has not stored.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel shows a paddle setting that it has not stored.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save stores them in the wheel; Discard sets the wheel back to what it stores.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vorla Setting is free software under the GNU General Public License, version 3 or later.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel shows a paddle setting that it has not stored. Save Setting stores the setting on this page.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This page holds a paddle setting that the wheel has not stored; the wheel still shows the stored one. Save Setting stores it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel shows LED colours that it has not stored, and the paddle page holds a setting that the wheel has not stored.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The paddle page holds a setting that the wheel has not stored; the wheel still shows the stored one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save stores it in the wheel; Discard leaves the wheel showing what it stores.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wheel could not be set back to what it stores: it may still show the unsaved LED colours or paddle setting.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write this firmware image into the wheel?

File: %1
Size: %2 bytes
SHA-256: %3
Firmware version now: %4

The wheel must stay plugged in until it restarts.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Upgrade firmware</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Profile</name>
    <message>
        <source>a list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>an object</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown format version %1; this program reads format %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown field</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>missing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>must be %1, not %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a whole number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>must be a whole number, not %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>must be between %1 and %2, not %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>has %1 entries; a profile has one for each of the %2 LED slots</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>slot %1 appears twice</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a string</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>slot %1 is shown by button %2, not %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>must be a colour written #RRGGBB, not %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>true or false</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not valid JSON at line %1, column %2: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a profile: the file must hold one JSON object</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>can not be read: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>larger than %1 KiB: not a profile</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>can not be written: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a raw control character %1 inside a string</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UnsavedMark</name>
    <message>
        <source>Unsaved changes</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UpgradeProgress</name>
    <message>
        <source>%1 of %2 KiB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Writing ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Uploading ...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>

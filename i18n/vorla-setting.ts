<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
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
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en_US">
<context>
    <name>InfoPlist</name>
    <message><source>main.window_title</source><translation>TELVO Viewer</translation></message>
    <message><source>main.close</source><translation>Close</translation></message>
    <message><source>main.minimize</source><translation>Minimise</translation></message>
    <message><source>main.open_folder</source><translation>Open a folder of recordings</translation></message>
    <message><source>main.settings</source><translation>Camera settings</translation></message>
    <message><source>main.time_setup</source><translation>Set the camera's clock</translation></message>
    <message><source>main.capture</source><translation>Save a snapshot</translation></message>
    <message><source>main.print</source><translation>Print a snapshot</translation></message>
    <message><source>msg.capture_save_fail</source><translation>The snapshot could not be saved.</translation></message>
    <message><source>main.no_recordings</source><translation>No recordings yet. Open the camera's card or a folder of recordings with the folder button above.</translation></message>
    <message><source>main.recordings</source><translation>Recordings</translation></message>
    <message><source>main.map</source><translation>Map</translation></message>
    <message><source>main.gsensor</source><translation>G-SENSOR</translation></message>
    <message><source>main.speed</source><translation>SPEED</translation></message>
    <message><source>main.latitude</source><translation>LATITUDE</translation></message>
    <message><source>main.longitude</source><translation>LONGITUDE</translation></message>
    <message><source>main.hdop</source><translation>HDOP</translation></message>
    <message><source>main.satellites</source><translation>SATELLITES</translation></message>
    <message><source>filelist.mode</source><translation>Type</translation></message>
    <message><source>filelist.date</source><translation>Date</translation></message>
    <message><source>filelist.time</source><translation>Time</translation></message>
    <message><source>filelist.file</source><translation>File</translation></message>
    <message><source>media.always</source><translation>Normal</translation></message>
    <message><source>media.motion</source><translation>Motion</translation></message>
    <message><source>media.event</source><translation>Event</translation></message>
    <message><source>media.unknown</source><translation>Unknown</translation></message>
    <message><source>msg.file_open_fail</source><translation>The recording could not be played. The file may be damaged.</translation></message>
</context>
</TS>

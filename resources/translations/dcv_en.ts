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
    <message><source>msg.file_missing</source><translation>The recording is no longer there. It was moved or deleted after the folder was opened; open the folder again.</translation></message>
    <message><source>msg.scan_incomplete</source><translation>Not every recording of this folder could be listed.</translation></message>
    <message><source>msg.scan_unreadable</source><translation>These folders could not be read:</translation></message>
    <message><source>msg.scan_limit</source><translation>Only the first 15,000 recordings are listed.</translation></message>
    <message><source>main.telemetry_none</source><translation>This recording carries no G-sensor or GPS data.</translation></message>
    <message><source>main.telemetry_incomplete</source><translation>Part of this recording's G-sensor and GPS data could not be read.</translation></message>
    <message><source>msg.file_open_fail</source><translation>The recording could not be played. The file may be damaged.</translation></message>
    <message><source>setting.window_title</source><translation>Camera settings</translation></message>
    <message><source>setting.video</source><translation>Video</translation></message>
    <message><source>setting.basic</source><translation>Basic</translation></message>
    <message><source>setting.gps</source><translation>GPS</translation></message>
    <message><source>setting.aux</source><translation>Auxiliary</translation></message>
    <message><source>setting.park</source><translation>Motion</translation></message>
    <message><source>setting.motion</source><translation>Motion detection</translation></message>
    <message><source>setting.adas</source><translation>ADAS</translation></message>
    <message><source>setting.audio</source><translation>Audio</translation></message>
    <message><source>setting.sdcardformat</source><translation>Format SD card</translation></message>
    <message><source>setting.initialize</source><translation>Reset to defaults</translation></message>
    <message><source>save</source><translation>Save</translation></message>
    <message><source>cancel</source><translation>Cancel</translation></message>
    <message><source>setting.disk_utility</source><translation>Disk utility</translation></message>
    <message><source>setting.no_disk_utility</source><translation>No disk utility (GNOME Disks) is installed.</translation></message>
    <message><source>setting.information</source><translation>Driving log</translation></message>
    <message><source>setting.loading</source><translation>Reading the camera's settings</translation></message>
    <message><source>msg.saved</source><translation>The file has been saved.</translation></message>
    <message><source>msg.write_protected_disk</source><translation>The card cannot be written: it may be write-protected (check the lock switch on its side) or full.</translation></message>
    <message><source>unuse</source><translation>Off</translation></message>
    <message><source>none</source><translation>None</translation></message>
    <message><source>auto</source><translation>Auto</translation></message>
    <message><source>off</source><translation>Off</translation></message>
    <message><source>on</source><translation>On</translation></message>
    <message><source>default</source><translation>default</translation></message>
    <message><source>insensitive</source><translation>low</translation></message>
    <message><source>sensitive</source><translation>high</translation></message>
    <message><source>brightness</source><translation>Brightness</translation></message>
    <message><source>nSecond_fmt</source><translation>%1 s</translation></message>
    <message><source>nMinute_fmt</source><translation>%1 min</translation></message>
    <message><source>nHour_fmt</source><translation>%1 h</translation></message>
    <message><source>setting.video.front_quality</source><translation>Front camera recording quality</translation></message>
    <message><source>setting.video.quality_normal</source><translation>Normal</translation></message>
    <message><source>setting.video.quality_high</source><translation>High</translation></message>
    <message><source>setting.video.quality_highest</source><translation>Highest</translation></message>
    <message><source>setting.video.front_setting</source><translation>Front camera</translation></message>
    <message><source>setting.video.rear_setting</source><translation>Rear camera</translation></message>
    <message><source>setting.video.rear_not_stored</source><translation>The camera's settings file has no place for the rear brightness.</translation></message>
    <message><source>setting.basic.auto_parking_waiting_time</source><translation>Wait before switching to parking mode</translation></message>
    <message><source>setting.basic.enable_gsensor</source><translation>Record events from the impact sensor</translation></message>
    <message><source>setting.basic.driving_impact_sensitivity</source><translation>Impact sensitivity while driving (threshold in g)</translation></message>
    <message><source>setting.basic.parking_impact_sensitivity</source><translation>Impact sensitivity while parked (threshold in g)</translation></message>
    <message><source>setting.basic.customize</source><translation>Custom</translation></message>
    <message><source>setting.basic.front_LED_settings</source><translation>Front LED</translation></message>
    <message><source>setting.basic.rear_LED_settings</source><translation>Rear LED</translation></message>
    <message><source>setting.basic.LED_use</source><translation>On</translation></message>
    <message><source>setting.basic.LED_notuse</source><translation>Off</translation></message>
    <message><source>setting.basic.car_number_input</source><translation>Car number (up to 8 letters and digits)</translation></message>
    <message><source>setting.basic.cutoff_voltage_setting</source><translation>Parking power cut-off</translation></message>
    <message><source>setting.basic.set_voltage</source><translation>Cut-off voltage (12 V / 24 V)</translation></message>
    <message><source>setting.basic.set_timer</source><translation>Parking power timer</translation></message>
    <message><source>setting.basic.power_guide</source><translation>The camera stops recording in parking mode when the battery falls to the cut-off voltage or the timer runs out, so the car can still start.</translation></message>
    <message><source>externpower</source><translation>External power</translation></message>
    <message><source>setting.basic.cable_voltage_loss</source><translation>Voltage lost in the power cable</translation></message>
    <message><source>setting.basic.segment_option</source><translation>Segment option</translation></message>
    <message><source>setting.basic.segment_option_1</source><translation>Option 1</translation></message>
    <message><source>setting.basic.segment_option_2</source><translation>Option 2</translation></message>
    <message><source>setting.basic.segment_option_3</source><translation>Option 3</translation></message>
    <message><source>setting.basic.segment_option_4</source><translation>Option 4</translation></message>
    <message><source>msg.use_external_power_10v</source><translation>Use this only with an external battery pack: the camera then keeps recording down to 10 V.</translation></message>
    <message><source>msg.input_value_invalid_format</source><translation>Enter the threshold as a number, for example 0.45.</translation></message>
    <message><source>msg.gsensor_outofrange_fmt</source><translation>Enter a threshold from %1 to %2 g.</translation></message>
    <message><source>setting.gps.weekly_alarm</source><translation>Weekly reminder</translation></message>
    <message><source>mon</source><translation>Mon</translation></message>
    <message><source>tue</source><translation>Tue</translation></message>
    <message><source>wed</source><translation>Wed</translation></message>
    <message><source>thu</source><translation>Thu</translation></message>
    <message><source>fri</source><translation>Fri</translation></message>
    <message><source>sat</source><translation>Sat</translation></message>
    <message><source>sun</source><translation>Sun</translation></message>
    <message><source>setting.gps.speed_display</source><translation>Speed unit</translation></message>
    <message><source>setting.gps.timezone_setting</source><translation>Time zone (offset from UTC)</translation></message>
    <message><source>summerTime</source><translation>Summer time</translation></message>
    <message><source>setting.gps.osd_speed_display</source><translation>Speed in the video</translation></message>
    <message><source>setting.gps.gps_on_parking_mode</source><translation>GPS in parking mode</translation></message>
    <message><source>setting.gps.gps_guide1</source><translation>The camera sets its clock from GPS and stamps each recording with its speed and position.</translation></message>
    <message><source>setting.gps.gps_speed_guide1</source><translation>Changing the unit also converts the ADAS warning speeds.</translation></message>
    <message><source>setting.gps.gps_time_guide1</source><translation>The camera adds this offset to the GPS time; turn on summer time while it is in force.</translation></message>
    <message><source>setting.gps.gps_guide2</source><translation>GPS in parking mode uses more of the car's battery.</translation></message>
    <message><source>setting.motion.sensitivity</source><translation>Motion detection sensitivity</translation></message>
    <message><source>setting.aux.front_sensitivity</source><translation>Front camera</translation></message>
    <message><source>setting.aux.rear_sensitivity</source><translation>Rear camera</translation></message>
    <message><source>setting.adas.ldws_sensitivity</source><translation>Lane departure warning: sensitivity</translation></message>
    <message><source>setting.adas.ldws_speed</source><translation>Lane departure warning: from speed</translation></message>
    <message><source>setting.adas.fcws_sensitivity</source><translation>Forward collision warning: sensitivity</translation></message>
    <message><source>setting.adas.fcws_speed</source><translation>Forward collision warning: from speed</translation></message>
    <message><source>setting.aux.mic_volume</source><translation>Microphone</translation></message>
    <message><source>setting.aux.speaker_volume</source><translation>Speaker</translation></message>
    <message><source>setting.aux.volume_low</source><translation>low</translation></message>
    <message><source>setting.aux.volume_up</source><translation>high</translation></message>
    <message><source>setting.aux.voice_guidance_lang_setting</source><translation>Voice guidance language</translation></message>
    <message><source>Korean</source><translation>Korean</translation></message>
    <message><source>English</source><translation>English</translation></message>
    <message><source>Japanese</source><translation>Japanese</translation></message>
    <message><source>Chinese</source><translation>Chinese</translation></message>
    <message><source>Cantonese</source><translation>Cantonese</translation></message>
    <message><source>Malaysia</source><translation>Malay</translation></message>
    <message><source>BahasaIndonesia</source><translation>Indonesian</translation></message>
    <message><source>Thai</source><translation>Thai</translation></message>
    <message><source>Vietnamese</source><translation>Vietnamese</translation></message>
    <message><source>French</source><translation>French</translation></message>
    <message><source>Spanish.Europe</source><translation>Spanish (Europe)</translation></message>
    <message><source>Arabic</source><translation>Arabic</translation></message>
    <message><source>Russian</source><translation>Russian</translation></message>
    <message><source>German</source><translation>German</translation></message>
    <message><source>Italian</source><translation>Italian</translation></message>
    <message><source>Portuguese</source><translation>Portuguese</translation></message>
    <message><source>setting.aux.enable_hourly_alarm</source><translation>Announce every hour</translation></message>
    <message><source>setting.aux.sdcard_capacity</source><translation>Card space for each kind of recording</translation></message>
    <message><source>setting.aux.always</source><translation>Normal</translation></message>
    <message><source>setting.aux.motion</source><translation>Motion</translation></message>
    <message><source>setting.aux.event</source><translation>Event</translation></message>
    <message><source>msg.memconfig_warning</source><translation>Changing the shares deletes the recordings on the card when the camera next starts.</translation></message>
    <message><source>setting.aux.auto_format_alarm</source><translation>Format reminder</translation></message>
    <message><source>setting.aux.auto_format_notuse</source><translation>Off</translation></message>
    <message><source>setting.aux.auto_format_4week</source><translation>4 weeks</translation></message>
    <message><source>setting.aux.auto_format_8week</source><translation>8 weeks</translation></message>
    <message><source>setting.aux.auto_format_16week</source><translation>16 weeks</translation></message>
    <message><source>setting.aux.auto_format_32week</source><translation>32 weeks</translation></message>
    <message><source>setting.aux.wifi_start</source><translation>Wi-Fi at start</translation></message>
    <message><source>setting.aux.wifi_start_off</source><translation>Off</translation></message>
    <message><source>setting.aux.wifi_start_on</source><translation>On</translation></message>
    <message><source>setting.aux.wifi_setting</source><translation>Wi-Fi</translation></message>
    <message><source>setting.aux.ssid</source><translation>Network name</translation></message>
    <message><source>setting.aux.password</source><translation>Password</translation></message>
    <message><source>setting.aux.wifi_channel</source><translation>Channel</translation></message>
    <message><source>setting.aux.country_ac_power_setting</source><translation>Mains frequency (against flicker)</translation></message>
    <message><source>setting.aux.ssid_length</source><translation>The Wi-Fi network name needs at least 5 characters.</translation></message>
    <message><source>setting.aux.ssid_invalid</source><translation>The Wi-Fi network name may hold only letters, digits and the signs ! to ~, no spaces.</translation></message>
    <message><source>setting.aux.password_length</source><translation>The Wi-Fi password needs at least 8 characters.</translation></message>
    <message><source>setting.aux.password_invalid</source><translation>The Wi-Fi password may hold only letters, digits and the signs ! to ~, no spaces.</translation></message>
    <message><source>msg.sdcard_ratio_too_low</source><translation>Give each kind of recording at least 10% of the card.</translation></message>
    <message><source>time.window_title</source><translation>Set the camera's clock</translation></message>
    <message><source>today</source><translation>Today</translation></message>
    <message><source>time.filesave</source><translation>The clock file has been saved. Put the card into the camera: it sets its clock from the file when it starts.</translation></message>
    <message><source>time.filesave_fail</source><translation>The clock file could not be saved to %1.
%2</translation></message>
    <message><source>open</source><translation>Open…</translation></message>
    <message><source>export</source><translation>Export…</translation></message>
    <message><source>setting.flashdata.index</source><translation>No.</translation></message>
    <message><source>setting.flashdata.seq</source><translation>Seq</translation></message>
    <message><source>setting.flashdata.date</source><translation>Date</translation></message>
    <message><source>setting.flashdata.time</source><translation>Time</translation></message>
    <message><source>setting.flashdata.yoil</source><translation>Day</translation></message>
    <message><source>setting.flashdata.lat</source><translation>Latitude</translation></message>
    <message><source>setting.flashdata.lon</source><translation>Longitude</translation></message>
    <message><source>setting.flashdata.driving_distance</source><translation>Dist.</translation></message>
    <message><source>setting.flashdata.cur_speed</source><translation>Speed</translation></message>
    <message><source>setting.flashdata.max_speed</source><translation>Max</translation></message>
    <message><source>setting.flashdata.value</source><translation>Status</translation></message>
    <message><source>setting.flashdata.battery</source><translation>Battery</translation></message>
    <message><source>setting.flashdata.count_fmt</source><translation>%1 records</translation></message>
    <message><source>setting.flashdata.short_fmt</source><translation>%1 of the %2 records the log announces: the file ends there</translation></message>
    <message><source>setting.flashdata.read_fail</source><translation>The driving log %1 could not be read.
%2</translation></message>
    <message><source>setting.flashdata.export_fail</source><translation>The driving log could not be exported to %1.
%2</translation></message>
    <message><source>setting.format.disk</source><translation>Card</translation></message>
    <message><source>setting.format.device</source><translation>Device</translation></message>
    <message><source>setting.format.no_card</source><translation>No card in a card reader</translation></message>
    <message><source>setting.format.allocation_unit_size</source><translation>Allocation unit</translation></message>
    <message><source>setting.format.filesystem</source><translation>File system</translation></message>
    <message><source>setting.format.format</source><translation>Format</translation></message>
    <message><source>setting.format.confirm</source><translation>Erase %1?</translation></message>
    <message><source>setting.format.confirm_detail</source><translation>Everything on %1 (%2 bytes) is erased, and the card is made ready for the camera. Its settings file (config.bin) is kept.</translation></message>
    <message><source>setting.format.settings_unkept</source><translation>The camera's settings on %1 cannot be kept.</translation></message>
    <message><source>setting.format.settings_unkept_detail</source><translation>%1

Nothing has been erased. Format anyway? The card then gets the camera's default settings.</translation></message>
    <message><source>setting.format.format_anyway</source><translation>Format anyway</translation></message>
    <message><source>msg.cannot_format</source><translation>The card could not be formatted.</translation></message>
    <message><source>msg.format_complete</source><translation>The card has been formatted.</translation></message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="de_DE">
<context>
    <name>BackupTab</name>
    <message>
        <source>Richtung auswählen</source>
        <translation>Choose direction</translation>
    </message>
    <message>
        <source>Daten vom Gleistron in das Dokument holen (danach speichern)</source>
        <translation>Bring data from the Gleistron into the document (then save it)</translation>
    </message>
    <message>
        <source>&amp;Gleistron -&gt; PC</source>
        <translation>&amp;Gleistron -&gt; PC</translation>
    </message>
    <message>
        <source>Daten des Dokuments in den Gleistron schreiben; vorher wird gezeigt, was sich ändert</source>
        <translation>Write the document's data into the Gleistron; what changes is shown first</translation>
    </message>
    <message>
        <source>&amp;PC -&gt; Gleistron</source>
        <translation>&amp;PC -&gt; Gleistron</translation>
    </message>
    <message>
        <source>Datei auswählen</source>
        <translation>Choose file</translation>
    </message>
    <message>
        <source>A&amp;uswählen...</source>
        <translation>Ch&amp;oose...</translation>
    </message>
    <message>
        <source>Daten auswählen und übertragen</source>
        <translation>Select and transfer data</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Verbinden Sie den Gleistron per USB-Kabel mit Ihrem Computer.&lt;br/&gt;Wechseln Sie im Gleistron in das Menü Datensicherung.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Connect the Gleistron to your computer with the USB cable.&lt;br/&gt;On the Gleistron, open the menu Backup (Datensicherung).&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Keine Richtung ausgewählt!</source>
        <translation>No direction chosen!</translation>
    </message>
    <message>
        <source>Daten herunter&amp;laden</source>
        <translation>&amp;Download data</translation>
    </message>
    <message>
        <source>Daten hoch&amp;laden</source>
        <translation>&amp;Upload data</translation>
    </message>
    <message>
        <source>Was das Hochladen überschreibt, vorher in eine eigene Datei sichern</source>
        <translation>Keep what the upload overwrites in a file of its own first</translation>
    </message>
    <message>
        <source>Vorher &amp;sichern</source>
        <translation>&amp;Keep previous data first</translation>
    </message>
    <message>
        <source>Nach dem Hochladen alles zurücklesen und mit dem Dokument vergleichen</source>
        <translation>After the upload, read everything back and compare it with the document</translation>
    </message>
    <message>
        <source>Nach dem Hochladen p&amp;rüfen</source>
        <translation>&amp;Verify after uploading</translation>
    </message>
    <message>
        <source>&amp;Abbrechen</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>Lokomotiven mit ihren Funktionen und die vier Loklisten</source>
        <translation>Locomotives with their functions and the four locomotive lists</translation>
    </message>
    <message>
        <source>Lokomotiven</source>
        <translation>Locomotives</translation>
    </message>
    <message>
        <source>Gleisplan 1 des Stellpults</source>
        <translation>Track plan 1 of the control panel</translation>
    </message>
    <message>
        <source>Gleisplan 1</source>
        <translation>Track plan 1</translation>
    </message>
    <message>
        <source>Gleisplan 2 des Stellpults</source>
        <translation>Track plan 2 of the control panel</translation>
    </message>
    <message>
        <source>Gleisplan 2</source>
        <translation>Track plan 2</translation>
    </message>
    <message>
        <source>Gleisplan 3 des Stellpults</source>
        <translation>Track plan 3 of the control panel</translation>
    </message>
    <message>
        <source>Gleisplan 3</source>
        <translation>Track plan 3</translation>
    </message>
    <message>
        <source>Weichen, Signale und andere Schaltartikel</source>
        <translation>Turnouts, signals and other switching articles</translation>
    </message>
    <message>
        <source>Schaltartikel</source>
        <translation>Switching articles</translation>
    </message>
    <message>
        <source>Rückmelder, mit der S88-Konfiguration</source>
        <translation>Feedback modules, with the S88 configuration</translation>
    </message>
    <message>
        <source>Rückmelder</source>
        <translation>Feedback modules</translation>
    </message>
    <message>
        <source>Fahrstrassen mit ihren Karten und ihrer Ausleuchtung</source>
        <translation>Routes with their cards and their illumination</translation>
    </message>
    <message>
        <source>Fahrstrassen</source>
        <translation>Routes</translation>
    </message>
    <message>
        <source>Geräte am LSB-Bus</source>
        <translation>Devices on the LSB bus</translation>
    </message>
    <message>
        <source>LSB-Geräte</source>
        <translation>LSB devices</translation>
    </message>
    <message>
        <source>Geräte am HSB-Bus</source>
        <translation>Devices on the HSB bus</translation>
    </message>
    <message>
        <source>HSB-Geräte</source>
        <translation>HSB devices</translation>
    </message>
    <message>
        <source>Einstellungen des Gleistron</source>
        <translation>The Gleistron's settings</translation>
    </message>
    <message>
        <source>Systemkonfiguration</source>
        <translation>System configuration</translation>
    </message>
    <message>
        <source>Bilder der Lokomotiven</source>
        <translation>Pictures of the locomotives</translation>
    </message>
    <message>
        <source>Lokbilder</source>
        <translation>Locomotive images</translation>
    </message>
    <message>
        <source>Benutzerdefinierte Lokfunktionsbilder</source>
        <translation>User-defined locomotive function images</translation>
    </message>
    <message>
        <source>Benutzerdefinierte Signalbilder</source>
        <translation>User-defined signal images</translation>
    </message>
    <message>
        <source>Alle Bereiche an- oder abwählen</source>
        <translation>Tick or untick every area</translation>
    </message>
    <message>
        <source>Alles aus&amp;wählen</source>
        <translation>Select &amp;all</translation>
    </message>
</context>
<context>
    <name>LsbPage</name>
    <message>
        <source>Firmware für LSB-Gerät aufladen</source>
        <translation>Upload firmware to an LSB device</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Wählen Sie im Geräteeditor des Gleistron das LSB-Gerät aus und schalten Sie es in den Update Modus.&lt;br/&gt;Wählen Sie dann hier die passende Firmware-Datei aus.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;In the Gleistron's device editor, select the LSB device and switch it to update mode.&lt;br/&gt;Then choose the matching firmware file here.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>A&amp;uswählen...</source>
        <translation>Ch&amp;oose...</translation>
    </message>
    <message>
        <source>Im Firmware-Datei</source>
        <translation>In the firmware file</translation>
    </message>
    <message>
        <source>Typ</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>HW-Ver.</source>
        <translation>HW ver.</translation>
    </message>
    <message>
        <source>SW-Ver.</source>
        <translation>SW ver.</translation>
    </message>
    <message>
        <source>Gerät</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>&amp;Abbrechen</source>
        <translation>&amp;Cancel</translation>
    </message>
</context>
<context>
    <name>RoutesTab</name>
    <message>
        <source>&amp;Verlauf ...</source>
        <translation>H&amp;istory ...</translation>
    </message>
    <message>
        <source>In welchen Sicherungen sich die gezeigte Fahrstrasse geändert hat</source>
        <translation>The backups in which the shown route changed</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Fahrstrasse</source>
        <translation>Route</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>aus Gleistron laden</source>
        <translation>load from Gleistron</translation>
    </message>
    <message>
        <source>Das Dokument enthält keine Fahrstrassen. Laden Sie sie auf dem Reiter „Datensicherung“ aus dem Gleistron herunter, oder öffnen Sie eine Sicherungsdatei („Datei“ &gt; „Datensicherung öffnen ...“).</source>
        <translation>The document holds no routes. Download them from the Gleistron on the “Backup” tab, or open a backup file (“File” &gt; “Open backup ...”).</translation>
    </message>
    <message>
        <source>Nummer oder Text</source>
        <translation>Number or text</translation>
    </message>
    <message>
        <source>nur &amp;belegte</source>
        <translation>h&amp;eld only</translation>
    </message>
    <message>
        <source>Starttaste:</source>
        <translation>Start key:</translation>
    </message>
    <message>
        <source>Plan</source>
        <translation>Plan</translation>
    </message>
    <message>
        <source>Zeile</source>
        <translation>Row</translation>
    </message>
    <message>
        <source>Spalte</source>
        <translation>Column</translation>
    </message>
    <message>
        <source>Zieltaste:</source>
        <translation>Destination key:</translation>
    </message>
    <message>
        <source>Kommentar:</source>
        <translation>Comment:</translation>
    </message>
    <message>
        <source>Karteikarte</source>
        <translation>Card</translation>
    </message>
    <message>
        <source>Nr</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>Typ</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Adresse</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Befehl</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>Karte 2:</source>
        <translation>Card 2:</translation>
    </message>
    <message>
        <source>Fahrstrasse aufrufen</source>
        <translation>Call route</translation>
    </message>
    <message>
        <source>Karte 3:</source>
        <translation>Card 3:</translation>
    </message>
    <message>
        <source>Rückmeldung beachten</source>
        <translation>Observe feedback</translation>
    </message>
    <message>
        <source>Karte 4:</source>
        <translation>Card 4:</translation>
    </message>
    <message>
        <source>Stellbefehle</source>
        <translation>Setting commands</translation>
    </message>
    <message>
        <source>Karte 5:</source>
        <translation>Card 5:</translation>
    </message>
    <message>
        <source>Schaltgleisfunktionen</source>
        <translation>Switching track functions</translation>
    </message>
    <message>
        <source>Karte 6:</source>
        <translation>Card 6:</translation>
    </message>
    <message>
        <source>Zielkontakte</source>
        <translation>Destination contacts</translation>
    </message>
    <message>
        <source>Karte 7:</source>
        <translation>Card 7:</translation>
    </message>
    <message>
        <source>Fahrstrasse auflösen</source>
        <translation>Release route</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Gleistron gelesen in %1 Sek.; darin werden nur die gewählten Datensätze ersetzt.</source>
        <translation>Gleistron read in %1 s; only the chosen records are replaced in that copy.</translation>
    </message>
    <message>
        <source>Alle Bereiche</source>
        <translation>All sets</translation>
    </message>
    <message>
        <source>Alle Änderungen</source>
        <translation>All changes</translation>
    </message>
    <message>
        <source>&amp;Bereich:</source>
        <translation>S&amp;et:</translation>
    </message>
    <message>
        <source>Ä&amp;nderung:</source>
        <translation>Cha&amp;nge:</translation>
    </message>
    <message>
        <source>Eine Zeile wählen: hier steht, was sich darin geändert hat.</source>
        <translation>Choose a row: what changed inside it shows here.</translation>
    </message>
    <message>
        <source>&amp;Verlauf ...</source>
        <translation>H&amp;istory ...</translation>
    </message>
    <message>
        <source>Diese Datensätze &amp;zurückholen ...</source>
        <translation>&amp;Take these records back ...</translation>
    </message>
    <message>
        <source>Verlauf: %1 %2</source>
        <translation>History: %1 %2</translation>
    </message>
    <message>
        <source>Lese die Sicherungen in %1 ...</source>
        <translation>Reading the backups in %1 ...</translation>
    </message>
    <message>
        <source>neu in dieser Sicherung</source>
        <translation>new in this backup</translation>
    </message>
    <message>
        <source>nicht mehr in dieser Sicherung</source>
        <translation>gone in this backup</translation>
    </message>
    <message>
        <source>Dieser Datensatz hat sich in keiner Sicherung geändert.</source>
        <translation>This record changed in no backup.</translation>
    </message>
    <message>
        <source>Sicherungen, in denen er sich geändert hat: %1, die älteste zuerst.</source>
        <translation>Backups in which it changed: %1, the oldest first.</translation>
    </message>
    <message>
        <source>Beschädigt, nur das Ganze daraus verglichen: %1</source>
        <translation>Damaged, only their whole parts compared: %1</translation>
    </message>
    <message>
        <source>Nicht lesbar, ausgelassen: %1</source>
        <translation>Unreadable, left out: %1</translation>
    </message>
    <message>
        <source>&amp;Unterschiede ...</source>
        <translation>&amp;Differences ...</translation>
    </message>
    <message>
        <source>%1 gegenüber %2</source>
        <translation>%1 against %2</translation>
    </message>
    <message>
        <source>nur in der vorigen</source>
        <translation>only in the one before</translation>
    </message>
    <message>
        <source>nur in dieser</source>
        <translation>only in this one</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;B&gt;%1 kann nicht ganz gelesen werden: nichts wurde zurückgeholt.&lt;/B&gt;&lt;BR&gt;</source>
        <translation>&lt;BR&gt;&lt;B&gt;%1 cannot be read whole: nothing was taken back.&lt;/B&gt;&lt;BR&gt;</translation>
    </message>
    <message>
        <source>&lt;BR&gt;%1 ist nicht in der Sicherung. Der Gleistron kann keinen Datensatz löschen: er behält ihn, wie er ist.&lt;BR&gt;</source>
        <translation>&lt;BR&gt;%1 is not in the backup. The station cannot delete a record: it keeps it as it is.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Zurückholen aus %1: %2.&lt;br&gt;&lt;br&gt;Dazu werden %3 aus dem Gleistron gelesen, nur diese Datensätze darin ersetzt und alles ganz zurückgesendet: etwa %4 Min. Alles andere im Gleistron bleibt, wie es ist.&lt;br&gt;&lt;br&gt;Jetzt zurückholen?</source>
        <translation>Take back from %1: %2.&lt;br&gt;&lt;br&gt;%3 are read from the station, only these records replaced and everything sent back whole: about %4 min. Everything else on the station stays as it is.&lt;br&gt;&lt;br&gt;Take them back now?</translation>
    </message>
    <message>
        <source>dem Dokument</source>
        <translation>the document</translation>
    </message>
    <message>
        <source>Hole Datensätze zurück ...</source>
        <translation>Taking records back ...</translation>
    </message>
    <message>
        <source>In welchen Sicherungen sich die gezeigte Fahrstrasse geändert hat</source>
        <translation>The backups in which the shown route changed</translation>
    </message>
    <message>
        <source>Kommentar: %1</source>
        <translation>Comment: %1</translation>
    </message>
    <message>
        <source>und %1 weitere Bereiche</source>
        <translation>and %1 more ranges</translation>
    </message>
    <message>
        <source>Ältere Sicherung %1 entfernt.</source>
        <translation>Older backup %1 removed.</translation>
    </message>
    <message>
        <source>Herunterladen abgebrochen.</source>
        <translation>Download cancelled.</translation>
    </message>
    <message>
        <source>Vollständig geladen: %1. Nicht übernommen: %2.</source>
        <translation>Loaded completely: %1. Not taken: %2.</translation>
    </message>
    <message>
        <source>Herunterladen fehlgeschlagen:</source>
        <translation>Download failed:</translation>
    </message>
    <message>
        <source>Der Gleistron antwortet auf %1 wiederholt anders, als der Befehl es zulässt.</source>
        <translation>The Gleistron keeps answering %1 otherwise than the command allows.</translation>
    </message>
    <message>
        <source>Hochladen abgebrochen.</source>
        <translation>Upload cancelled.</translation>
    </message>
    <message>
        <source>Hochladen beendet: der Gleistron hat den PC-Modus verlassen.</source>
        <translation>Upload ended: the Gleistron has left its PC mode.</translation>
    </message>
    <message>
        <source>Hochladen fehlgeschlagen:</source>
        <translation>Upload failed:</translation>
    </message>
    <message>
        <source>Aus der Datei übernommen: %1. Im Gleistron unverändert: %2.</source>
        <translation>Taken from the file: %1. Unchanged in the Gleistron: %2.</translation>
    </message>
    <message>
        <source>Gesendet, aber nicht gespeichert: %1.</source>
        <translation>Sent but not stored: %1.</translation>
    </message>
    <message>
        <source>Der Gleistron kann diese Daten vorgemerkt halten, bis er neu gestartet wird; bitte vor dem nächsten Hochladen aus- und wieder einschalten.</source>
        <translation>The Gleistron may keep this data pending until it is restarted; please switch it off and on again before the next upload.</translation>
    </message>
    <message>
        <source>Das Hochladen endet, sobald %1 im Gleistron gespeichert ist.</source>
        <translation>The upload ends as soon as the Gleistron has stored %1.</translation>
    </message>
    <message>
        <source>Was ein Speicherschritt braucht, wird ganz gesendet (bei den Fahrstrassen bis zu etwa anderthalb Minuten), damit keine halbe Übertragung im Gleistron vorgemerkt bleibt. Erneutes „Abbrechen“ beendet sofort.</source>
        <translation>What one storing step needs is sent in full (for the routes up to about a minute and a half), so that no half transfer is left pending in the Gleistron. Cancelling again stops at once.</translation>
    </message>
    <message>
        <source>Hochladen nicht bestätigt:</source>
        <translation>Upload not confirmed:</translation>
    </message>
    <message>
        <source>Während %1 gesendet wurde, war die Verbindung unterbrochen. Eine Station, die dabei neu begonnen hat, hat diese Daten verworfen. Bitte erneut hochladen oder vergleichen (Datei &gt; Mit Gleistron vergleichen).</source>
        <translation>the connection was lost while %1 was being sent. A station that started a new session meanwhile has discarded this data. Please upload again or compare (File &gt; Compare with Gleistron).</translation>
    </message>
    <message>
        <source>Gleistron gelesen in %1 Sek., zum Vergleich; das Dokument bleibt unverändert.</source>
        <translation>Gleistron read in %1 s, for comparison; the document is unchanged.</translation>
    </message>
    <message>
        <source>Gleistron gelesen in %1 Sek., für „Vorher sichern“; das Dokument bleibt unverändert.</source>
        <translation>Gleistron read in %1 s, for “Keep previous data first”; the document is unchanged.</translation>
    </message>
    <message>
        <source>Nichts wurde gesendet.</source>
        <translation>Nothing was sent.</translation>
    </message>
    <message>
        <source>Backup Datei %1 gespeichert.</source>
        <translation>Backup file %1 saved.</translation>
    </message>
    <message>
        <source>Prüfung: alle %1 Datensätze und Blöcke stimmen überein.</source>
        <translation>Verify: all %1 records and blocks match.</translation>
    </message>
    <message>
        <source>Prüfung: %1 von %2 Datensätzen weichen ab:</source>
        <translation>Verify: %1 of %2 records differ:</translation>
    </message>
    <message>
        <source>%1 %2: nur im Gleistron</source>
        <translation>%1 %2: only in the Gleistron</translation>
    </message>
    <message>
        <source>%1 %2 ab Byte %3</source>
        <translation>%1 %2 from byte %3</translation>
    </message>
    <message>
        <source>%1 Datensätze hat nur der Gleistron, nicht die Datensicherung. Der Gleistron behält sie; sollen sie weg, bitte am Gleistron löschen.</source>
        <translation>%1 records are in the Gleistron only, not in the backup. The Gleistron keeps them; if they should go, please delete them on the Gleistron.</translation>
    </message>
    <message>
        <source>&lt;span style="font-weight:bold;color:#006600;"&gt;Prüfung: alle %1 Datensätze und Blöcke stimmen überein.&lt;/span&gt;&lt;BR&gt;</source>
        <translation>&lt;span style="font-weight:bold;color:#006600;"&gt;Verify: all %1 records and blocks match.&lt;/span&gt;&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Daten vom Gleistron in das Dokument holen (danach speichern)</source>
        <translation>Bring data from the Gleistron into the document (then save it)</translation>
    </message>
    <message>
        <source>Daten des Dokuments in den Gleistron schreiben; vorher wird gezeigt, was sich ändert</source>
        <translation>Write the document's data into the Gleistron; what changes is shown first</translation>
    </message>
    <message>
        <source>Alle Bereiche an- oder abwählen</source>
        <translation>Tick or untick every area</translation>
    </message>
    <message>
        <source>Was das Hochladen überschreibt, vorher in eine eigene Datei sichern</source>
        <translation>Keep what the upload overwrites in a file of its own first</translation>
    </message>
    <message>
        <source>Nach dem Hochladen alles zurücklesen und mit dem Dokument vergleichen</source>
        <translation>After the upload, read everything back and compare it with the document</translation>
    </message>
    <message>
        <source>Lokomotiven mit ihren Funktionen und die vier Loklisten</source>
        <translation>Locomotives with their functions and the four locomotive lists</translation>
    </message>
    <message>
        <source>Gleisplan 1 des Stellpults</source>
        <translation>Track plan 1 of the control panel</translation>
    </message>
    <message>
        <source>Gleisplan 2 des Stellpults</source>
        <translation>Track plan 2 of the control panel</translation>
    </message>
    <message>
        <source>Gleisplan 3 des Stellpults</source>
        <translation>Track plan 3 of the control panel</translation>
    </message>
    <message>
        <source>Weichen, Signale und andere Schaltartikel</source>
        <translation>Turnouts, signals and other switching articles</translation>
    </message>
    <message>
        <source>Rückmelder, mit der S88-Konfiguration</source>
        <translation>Feedback modules, with the S88 configuration</translation>
    </message>
    <message>
        <source>Fahrstrassen mit ihren Karten und ihrer Ausleuchtung</source>
        <translation>Routes with their cards and their illumination</translation>
    </message>
    <message>
        <source>Geräte am LSB-Bus</source>
        <translation>Devices on the LSB bus</translation>
    </message>
    <message>
        <source>Geräte am HSB-Bus</source>
        <translation>Devices on the HSB bus</translation>
    </message>
    <message>
        <source>Einstellungen des Gleistron</source>
        <translation>The Gleistron's settings</translation>
    </message>
    <message>
        <source>Bilder der Lokomotiven</source>
        <translation>Pictures of the locomotives</translation>
    </message>
    <message>
        <source>Das Dokument mit einer Sicherungsdatei vergleichen, Datensatz für Datensatz</source>
        <translation>Compare the document with a backup file, record by record</translation>
    </message>
    <message>
        <source>Das Dokument mit den angekreuzten Bereichen im Gleistron vergleichen; es wird nichts geschrieben</source>
        <translation>Compare the document with the ticked areas in the Gleistron; nothing is written</translation>
    </message>
    <message>
        <source>nur in dieser: %1</source>
        <translation>only in this one: %1</translation>
    </message>
    <message>
        <source>nicht in dieser: %1</source>
        <translation>not in this one: %1</translation>
    </message>
    <message>
        <source>Gleistron gelesen in %1 Sek., zum Vergleich; das Dokument bleibt unverändert.&lt;BR&gt;</source>
        <translation>Gleistron read in %1 s, for comparison; the document is unchanged.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Gleistron gelesen in %1 Sek., für „Vorher sichern“; das Dokument bleibt unverändert.&lt;BR&gt;</source>
        <translation>Gleistron read in %1 s, for “Keep previous data first”; the document is unchanged.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Fahrstrasse.pdf geschrieben nach %1&lt;BR&gt;</source>
        <translation>Fahrstrasse.pdf written to %1&lt;BR&gt;</translation>
    </message>
    <message>
        <source>nicht abgefragt</source>
        <translation>not asked</translation>
    </message>
    <message>
        <source>ungültig</source>
        <translation>invalid</translation>
    </message>
    <message>
        <source>%1 (vor dem Update)</source>
        <translation>%1 (before the update)</translation>
    </message>
    <message>
        <source>%1 Fahrstrassen belegt</source>
        <translation>%1 routes held</translation>
    </message>
    <message>
        <source>%1 Fahrstrassen belegt, davon %2 mit Nummer über 1000 (nicht in der Liste, aber im Fahrstrassenbuch und im Export)</source>
        <translation>%1 routes held, %2 of them numbered above 1000 (not in the list, but in the route book and the export)</translation>
    </message>
    <message>
        <source>vergleich</source>
        <translation>comparison</translation>
    </message>
    <message>
        <source>protokoll</source>
        <translation>log</translation>
    </message>
    <message>
        <source>&amp;Ja</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>&amp;Nein</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>S&amp;tartseite</source>
        <translation>&amp;Start page</translation>
    </message>
    <message>
        <source>Date&amp;nsicherung</source>
        <translation>&amp;Backup</translation>
    </message>
    <message>
        <source>&amp;Fahrstrassen</source>
        <translation>&amp;Routes</translation>
    </message>
    <message>
        <source>LSB Updat&amp;e</source>
        <translation>&amp;LSB update</translation>
    </message>
    <message>
        <source>De&amp;utsch</source>
        <translation>&amp;German</translation>
    </message>
    <message>
        <source>En&amp;glisch</source>
        <translation>&amp;English</translation>
    </message>
    <message>
        <source>Daten herunter&amp;laden</source>
        <translation>&amp;Download data</translation>
    </message>
    <message>
        <source>Prüfe, was das Hochladen ändert ...</source>
        <translation>Checking what the upload will change ...</translation>
    </message>
    <message>
        <source>Das Hochladen überschreibt %1 Datensätze, die im Gleistron anders sind, und fügt %2 neue hinzu.&lt;br&gt;&lt;br&gt;%3 Datensätze hat nur der Gleistron: sie bleiben dort (der Gleistron kann keine löschen).&lt;br&gt;&lt;br&gt;Jetzt hochladen?</source>
        <translation>The upload overwrites %1 records that differ in the Gleistron and adds %2 new ones.&lt;br&gt;&lt;br&gt;%3 records are only in the Gleistron: they stay there (the Gleistron cannot delete any).&lt;br&gt;&lt;br&gt;Upload now?</translation>
    </message>
    <message>
        <source>&lt;BR&gt;Hochladen nicht gestartet.&lt;BR&gt;</source>
        <translation>&lt;BR&gt;Upload not started.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Protokoll speichern</source>
        <translation>Save log</translation>
    </message>
    <message>
        <source>&amp;Protokoll speichern ...</source>
        <translation>Save &amp;log ...</translation>
    </message>
    <message>
        <source>Gleistron %1, Software %2</source>
        <translation>Gleistron %1, software %2</translation>
    </message>
    <message>
        <source>Das Firmware-Update wurde abgebrochen. Das Gerät wartet weiter im Update-Modus: die Firmware-Datei erneut wählen, oder am Gleistron den Update-Modus verlassen.</source>
        <translation>The firmware update was cancelled. The device is still waiting in update mode: choose the firmware file again, or leave the update mode on the Gleistron.</translation>
    </message>
    <message>
        <source>&amp;Beenden</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>&amp;Hilfe</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>&amp;Handbuch</source>
        <translation>&amp;Manual</translation>
    </message>
    <message>
        <source>Ü&amp;ber Gleistron Manager ...</source>
        <translation>&amp;About Gleistron Manager ...</translation>
    </message>
    <message>
        <source>Über Gleistron Manager</source>
        <translation>About Gleistron Manager</translation>
    </message>
    <message>
        <source>&lt;b&gt;Gleistron Manager %1&lt;/b&gt;&lt;br&gt;&lt;br&gt;Datensicherung, Fahrstrassen und LSB-Firmware für die Orvandel Gleistron Zentrale.&lt;br&gt;&lt;br&gt;Freie Software unter der GNU General Public License, Version 3 oder später.&lt;br&gt;&lt;br&gt;&lt;a href="%2"&gt;%2&lt;/a&gt;</source>
        <translation>&lt;b&gt;Gleistron Manager %1&lt;/b&gt;&lt;br&gt;&lt;br&gt;Backups, routes and LSB firmware for the Orvandel Gleistron command station.&lt;br&gt;&lt;br&gt;Free software under the GNU General Public License, version 3 or later.&lt;br&gt;&lt;br&gt;&lt;a href="%2"&gt;%2&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Mit Gleistron vergleichen</source>
        <translation>Compare with Gleistron</translation>
    </message>
    <message>
        <source>Mit &amp;Gleistron vergleichen</source>
        <translation>Compare with &amp;Gleistron</translation>
    </message>
    <message>
        <source>Vergleiche mit dem Gleistron ...</source>
        <translation>Comparing with the Gleistron ...</translation>
    </message>
    <message>
        <source>Vergleich mit Gleistron %1</source>
        <translation>Comparison with Gleistron %1</translation>
    </message>
    <message>
        <source>nur im Gleistron</source>
        <translation>only in the Gleistron</translation>
    </message>
    <message>
        <source>&amp;Kopieren</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>Als Text &amp;speichern ...</source>
        <translation>&amp;Save as text ...</translation>
    </message>
    <message>
        <source>Als Text speichern</source>
        <translation>Save as text</translation>
    </message>
    <message>
        <source>Text (*.txt)</source>
        <translation>Text (*.txt)</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;B&gt;%1 kann nicht geschrieben werden.&lt;/B&gt;&lt;BR&gt;</source>
        <translation>&lt;BR&gt;&lt;B&gt;%1 cannot be written.&lt;/B&gt;&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Keine Daten geladen.</source>
        <translation>No data loaded.</translation>
    </message>
    <message>
        <source>aus mehreren Quellen</source>
        <translation>from several sources</translation>
    </message>
    <message>
        <source>%1 von %2 Bereichen, %3 Datensätze%4</source>
        <translation>%1 of %2 sets, %3 records%4</translation>
    </message>
    <message>
        <source>%p% – Verbindung unterbrochen</source>
        <translation>%p% – connection lost</translation>
    </message>
    <message>
        <source>Alle ausgewählte Datensätze gesendet in %1 Sek.&lt;BR&gt;</source>
        <translation>All selected data sets sent in %1 s.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Adapterbibliothek %1 nicht ladbar: %2</source>
        <translation>adapter library %1 cannot be loaded: %2</translation>
    </message>
    <message>
        <source>Gleistron Manager neu installieren</source>
        <translation>reinstall Gleistron Manager</translation>
    </message>
    <message>
        <source>Adapterbibliothek des Herstellers: %1</source>
        <translation>the maker's adapter library: %1</translation>
    </message>
    <message>
        <source>Adapterbibliothek des Programms: %1</source>
        <translation>the program's own adapter library: %1</translation>
    </message>
    <message>
        <source>%1: Lesen und Schreiben erlaubt</source>
        <translation>%1: may be read and written</translation>
    </message>
    <message>
        <source>%1 gehört der Gruppe %2; %3 ist Mitglied, aber noch nicht in dieser Sitzung</source>
        <translation>%1 belongs to group %2; %3 is a member, but not yet in this session</translation>
    </message>
    <message>
        <source>ab- und wieder anmelden</source>
        <translation>log out and in again</translation>
    </message>
    <message>
        <source>%1 gehört der Gruppe %2, in der %3 nicht Mitglied ist</source>
        <translation>%1 belongs to group %2, and %3 is not a member</translation>
    </message>
    <message>
        <source>sudo adduser %1 %2, dann ab- und wieder anmelden</source>
        <translation>sudo adduser %1 %2, then log out and in again</translation>
    </message>
    <message>
        <source>%1 hat keinen Latenz-Timer (kein FTDI-Treiber)</source>
        <translation>%1 has no latency timer (not an FTDI driver)</translation>
    </message>
    <message>
        <source>%1: Latenz-Timer %2 ms</source>
        <translation>%1: latency timer %2 ms</translation>
    </message>
    <message>
        <source>%1: Latenz-Timer %2 ms; das Programm stellt 2 ms ein, solange es den Anschluss offen hat</source>
        <translation>%1: latency timer %2 ms; the program sets 2 ms while it has the port open</translation>
    </message>
    <message>
        <source>%1: Latenz-Timer %2 ms, den nur root ändern kann; das Programm nimmt stattdessen das Low-Latency-Flag</source>
        <translation>%1: latency timer %2 ms, which only root may change; the program uses the low-latency flag instead</translation>
    </message>
    <message>
        <source>die udev-Regel %1 installieren (stellt 2 ms ein)</source>
        <translation>install the udev rule %1 (it sets 2 ms)</translation>
    </message>
    <message>
        <source>GLEISTRON_PORTS nennt %1</source>
        <translation>GLEISTRON_PORTS names %1</translation>
    </message>
    <message>
        <source>kein Adapter mit der Hersteller-Kennung 0403 angeschlossen</source>
        <translation>no adapter with the maker's vendor id 0403 is plugged in</translation>
    </message>
    <message>
        <source>das USB-Kabel des Gleistron einstecken; lsusb zeigt den Adapter dann als 0403:6001</source>
        <translation>plug in the Gleistron's USB cable; lsusb then lists the adapter as 0403:6001</translation>
    </message>
    <message>
        <source>%1 Adapter mit der Hersteller-Kennung 0403: %2</source>
        <translation>%1 adapter(s) with the maker's vendor id 0403: %2</translation>
    </message>
    <message>
        <source>%1 gibt es nicht</source>
        <translation>%1 does not exist</translation>
    </message>
    <message>
        <source>den Adapter einstecken oder GLEISTRON_PORTS berichtigen</source>
        <translation>plug in the adapter or correct GLEISTRON_PORTS</translation>
    </message>
    <message>
        <source>%1 (Seriennummer %2)</source>
        <translation>%1 (serial number %2)</translation>
    </message>
    <message>
        <source>%1 ist frei</source>
        <translation>%1 is free</translation>
    </message>
    <message>
        <source>%1 wird benutzt von %2</source>
        <translation>%1 is in use by %2</translation>
    </message>
    <message>
        <source>%1 beenden</source>
        <translation>quit %1</translation>
    </message>
    <message>
        <source>ModemManager ist nicht installiert</source>
        <translation>ModemManager is not installed</translation>
    </message>
    <message>
        <source>ModemManager lässt den Adapter in Ruhe (udev-Regel)</source>
        <translation>ModemManager leaves the adapter alone (udev rule)</translation>
    </message>
    <message>
        <source>ModemManager ist installiert und kann den Adapter beim Einstecken abfragen</source>
        <translation>ModemManager is installed and may probe the adapter when it is plugged in</translation>
    </message>
    <message>
        <source>die udev-Regel %1 installieren</source>
        <translation>install the udev rule %1</translation>
    </message>
    <message>
        <source>brltty ist nicht installiert</source>
        <translation>brltty is not installed</translation>
    </message>
    <message>
        <source>brltty ist installiert und nimmt Adapter dieser Art beim Einstecken für eine Braillezeile</source>
        <translation>brltty is installed and takes adapters of this kind for a braille display when they are plugged in</translation>
    </message>
    <message>
        <source>sudo apt-get remove brltty, wenn keine Braillezeile benutzt wird</source>
        <translation>sudo apt-get remove brltty, unless a braille display is used</translation>
    </message>
    <message>
        <source>die udev-Regel %1 ist nicht installiert</source>
        <translation>the udev rule %1 is not installed</translation>
    </message>
    <message>
        <source>sie aus dem Paket nach /etc/udev/rules.d kopieren, dann den Adapter neu einstecken</source>
        <translation>copy it from the package into /etc/udev/rules.d, then plug the adapter in again</translation>
    </message>
    <message>
        <source>kein Gleistron antwortet</source>
        <translation>no Gleistron answers</translation>
    </message>
    <message>
        <source>den Gleistron einschalten und das USB-Kabel prüfen</source>
        <translation>switch the Gleistron on and check the USB cable</translation>
    </message>
    <message>
        <source>ohne Adapterbibliothek nicht zu fragen</source>
        <translation>cannot be asked without the adapter library</translation>
    </message>
    <message>
        <source>erst das Problem der Adapterbibliothek beheben</source>
        <translation>first mend the adapter library's problem</translation>
    </message>
    <message>
        <source>Gleistron %1, Software %2, im PC-Modus</source>
        <translation>Gleistron %1, software %2, in PC mode</translation>
    </message>
    <message>
        <source>ein Gleistron antwortet, steht aber nicht im PC-Modus</source>
        <translation>a Gleistron answers, but is not in PC mode</translation>
    </message>
    <message>
        <source>am Gleistron das Menü Datensicherung wählen</source>
        <translation>choose the Datensicherung menu on the Gleistron</translation>
    </message>
    <message>
        <source>Mögliche Ursache: %1 – Abhilfe: %2&lt;BR&gt;</source>
        <translation>Possible cause: %1 – remedy: %2&lt;BR&gt;</translation>
    </message>
    <message>
        <source>"gleistron-cli doctor" prüft Adapter, Rechte und Anschlüsse.</source>
        <translation>"gleistron-cli doctor" checks adapters, permissions and ports.</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;BR&gt;&lt;span style="font-weight:bold;color:#990000;"&gt;FEHLER: %1 wird von einem anderen Programm benutzt: %2&lt;/span&gt;&lt;BR&gt;</source>
        <translation>&lt;BR&gt;&lt;BR&gt;&lt;span style="font-weight:bold;color:#990000;"&gt;ERROR: %1 is in use by another program: %2&lt;/span&gt;&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Nach dem Hochladen prüfen</source>
        <translation>Verify after uploading</translation>
    </message>
    <message>
        <source>Nach dem Hochladen p&amp;rüfen</source>
        <translation>&amp;Verify after uploading</translation>
    </message>
    <message>
        <source>Vorher sichern</source>
        <translation>Keep previous data first</translation>
    </message>
    <message>
        <source>Vorher &amp;sichern</source>
        <translation>&amp;Keep previous data first</translation>
    </message>
    <message>
        <source>&lt;span style=&quot;font-weight:bold;color:#006600;&quot;&gt;Prüfung: alle %1 Datensätze stimmen überein.&lt;/span&gt;&lt;BR&gt;</source>
        <translation>&lt;span style=&quot;font-weight:bold;color:#006600;&quot;&gt;Verify: all %1 records match.&lt;/span&gt;&lt;BR&gt;</translation>
    </message>
    <message>
        <source>%1 %2 ab Byte %3&lt;BR&gt;</source>
        <translation>%1 %2 from byte %3&lt;BR&gt;</translation>
    </message>
    <message>
        <source>&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;Prüfung: %1 von %2 Datensätzen weichen ab:&lt;/span&gt;&lt;BR&gt;</source>
        <translation>&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;Verify: %1 of %2 records differ:&lt;/span&gt;&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Gleistron-Adapter angeschlossen</source>
        <translation>Gleistron adapter connected</translation>
    </message>
    <message>
        <source>Kein Adapter</source>
        <translation>No adapter</translation>
    </message>
    <message>
        <source>Gleistron suchen</source>
        <translation>Find Gleistron</translation>
    </message>
    <message>
        <source>Gleistron su&amp;chen</source>
        <translation>Fin&amp;d Gleistron</translation>
    </message>
    <message>
        <source>Für Datensicherung und Fahrstrassen muss der Gleistron im Menü Datensicherung stehen.
</source>
        <translation>For backups and routes the Gleistron must be in its Datensicherung (backup) menu.
</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;settings.ini kann nicht geschrieben werden:&lt;/span&gt; die Sprache gilt nur bis zum Ende des Programms.&lt;BR&gt;</source>
        <translation>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;settings.ini cannot be written:&lt;/span&gt; the language holds only until the program ends.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Mit Datei vergleichen ...</source>
        <translation>Compare with file ...</translation>
    </message>
    <message>
        <source>Mit Datei &amp;vergleichen ...</source>
        <translation>Compare with &amp;file ...</translation>
    </message>
    <message>
        <source>Vergleich mit %1</source>
        <translation>Comparison with %1</translation>
    </message>
    <message>
        <source>Keine Unterschiede.</source>
        <translation>No differences.</translation>
    </message>
    <message>
        <source>%1 Unterschiede</source>
        <translation>%1 differences</translation>
    </message>
    <message>
        <source>Datensatz</source>
        <translation>Data set</translation>
    </message>
    <message>
        <source>Nummer</source>
        <translation>Number</translation>
    </message>
    <message>
        <source>Änderung</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>Kommentar</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>nur in der Datei</source>
        <translation>only in the file</translation>
    </message>
    <message>
        <source>nur im Dokument</source>
        <translation>only in the document</translation>
    </message>
    <message>
        <source>geändert</source>
        <translation>changed</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;Hochladen abgebrochen.&lt;/span&gt; Nicht (vollständig) gesendet: %1.&lt;BR&gt;</source>
        <translation>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;Upload cancelled.&lt;/span&gt; Not (completely) sent: %1.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>keine</source>
        <translation>none</translation>
    </message>
    <message>
        <source>%p% – noch %1</source>
        <translation>%p% – %1 left</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;Herunterladen abgebrochen.&lt;/span&gt; Vollständig geladen: %1. Nicht übernommen: %2.&lt;BR&gt;</source>
        <translation>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;Download cancelled.&lt;/span&gt; Loaded completely: %1. Not taken: %2.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>noch %1</source>
        <translation>%1 left</translation>
    </message>
    <message>
        <source>Firmware-Datei: %1, Version %2
Gerät: %3, Version %4

Soll die Firmware jetzt an das Gerät gesendet werden?</source>
        <translation>Firmware file: %1, version %2
Device: %3, version %4

Send the firmware to the device now?</translation>
    </message>
    <message>
        <source>&lt;BR&gt;Firmware-Update nicht gestartet.&lt;BR&gt;</source>
        <translation>&lt;BR&gt;Firmware update not started.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;B&gt;Es läuft bereits eine Übertragung mit dem Gleistron. Bitte warten, bis sie beendet ist.&lt;/B&gt;&lt;BR&gt;</source>
        <translation>&lt;BR&gt;&lt;B&gt;A transfer with the Gleistron is already running. Please wait until it has ended.&lt;/B&gt;&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Die Firmware-Datei ist beschädigt: das Prüfbyte in Zeile %1 stimmt nicht. Es wurde nichts gesendet.</source>
        <translation>The firmware file is damaged: the check byte of line %1 does not match. Nothing was sent.</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;%1 kann nicht geschrieben werden!&lt;/span&gt;&lt;BR&gt;</source>
        <translation>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;%1 cannot be written!&lt;/span&gt;&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Kein Programm zum Anzeigen von PDF-Dateien gefunden: bitte die Datei selbst öffnen.&lt;BR&gt;</source>
        <translation>No program to show PDF files was found: please open the file yourself.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>&lt;span style=&quot;font-weight:bold;color:#006600;&quot;&gt;Firmware-Update abgeschlossen: %1 Bytes gesendet.&lt;/span&gt;&lt;BR&gt;</source>
        <translation>&lt;span style=&quot;font-weight:bold;color:#006600;&quot;&gt;Firmware update complete: %1 bytes sent.&lt;/span&gt;&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Firmware-Update nicht möglich: es wurde nichts gesendet.</source>
        <translation>Firmware update not possible: nothing was sent.</translation>
    </message>
    <message>
        <source>Fahrstrasse.pdf written to %1&lt;BR&gt;</source>
        <translation>Fahrstrasse.pdf written to %1&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Das Firmware-Update ist fehlgeschlagen!</source>
        <translation>The firmware update failed!</translation>
    </message>
    <message>
        <source>nicht verfügbar</source>
        <translation>not available</translation>
    </message>
    <message>
        <source>Firmware-Update fehlgeschlagen: die Daten ab Adresse %1 kamen nicht an. Das Gerät hat keinen Abschluss erhalten; bitte das Update wiederholen.</source>
        <translation>Firmware update failed: the data from address %1 did not arrive. The device was not told to finish; please repeat the update.</translation>
    </message>
    <message>
        <source>&lt;BR&gt;Firmware-Update abgebrochen: es wurde kein Abschluss an das Gerät gesendet.&lt;BR&gt;</source>
        <translation>&lt;BR&gt;Firmware update cancelled: the device was not told to finish.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Die Datensicherung enthält keine Datensätze.

Soll die Datei %1 trotzdem mit einer leeren Datensicherung überschrieben werden?</source>
        <translation>The backup holds no data sets.

Overwrite the file %1 with an empty backup all the same?</translation>
    </message>
    <message>
        <source>&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;Hochladen nicht bestätigt:&lt;/span&gt; Während %1 gesendet wurde, war die Verbindung unterbrochen. Eine Station, die dabei neu begonnen hat, hat diese Daten verworfen. Bitte erneut hochladen oder vergleichen (Datei &gt; Mit Gleistron vergleichen).&lt;BR&gt;</source>
        <translation>&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;Upload not confirmed:&lt;/span&gt; the connection was lost while %1 was being sent. A station that started a new session meanwhile has discarded this data. Please upload again or compare (File &gt; Compare with Gleistron).&lt;BR&gt;</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;Die Datei ist keine vollständige Datensicherung!&lt;/span&gt;&lt;BR&gt;&lt;BR&gt;</source>
        <translation>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;The file is not a complete backup!&lt;/span&gt;&lt;BR&gt;&lt;BR&gt;</translation>
    </message>
    <message>
        <source>&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;Die Datei ist unvollständig:&lt;/span&gt; nur die vollständig enthaltenen Datensätze wurden übernommen.&lt;BR&gt;</source>
        <translation>&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;The file is incomplete:&lt;/span&gt; only the data sets it holds in full were taken.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Orvandel Gleistron Manager 1.3</source>
        <translation>Orvandel Gleistron Manager 1.3</translation>
    </message>
    <message>
        <source>Datei</source>
        <translation>File</translation>
    </message>
    <message>
        <source>&amp;Datei</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>Datensicherung leeren</source>
        <translation>Clear backup</translation>
    </message>
    <message>
        <source>Datensicherung &amp;leeren</source>
        <translation>Clea&amp;r backup</translation>
    </message>
    <message>
        <source>Datensicherung öffnen ...</source>
        <translation>Open backup ...</translation>
    </message>
    <message>
        <source>Datensicherung ö&amp;ffnen ...</source>
        <translation>&amp;Open backup ...</translation>
    </message>
    <message>
        <source>Datensicherung speichern</source>
        <translation>Save backup</translation>
    </message>
    <message>
        <source>Datensicherung &amp;speichern</source>
        <translation>&amp;Save backup</translation>
    </message>
    <message>
        <source>Datensicherung speichern unter ...</source>
        <translation>Save backup as ...</translation>
    </message>
    <message>
        <source>Datensicherung speichern &amp;unter ...</source>
        <translation>Save backup &amp;as ...</translation>
    </message>
    <message>
        <source>Drucken</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>&amp;Drucken</source>
        <translation>&amp;Print</translation>
    </message>
    <message>
        <source>Sprache</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Deutsch</source>
        <translation>German</translation>
    </message>
    <message>
        <source>&amp;Deutsch</source>
        <translation>&amp;German</translation>
    </message>
    <message>
        <source>Englisch</source>
        <translation>English</translation>
    </message>
    <message>
        <source>&amp;Englisch</source>
        <translation>&amp;English</translation>
    </message>
    <message>
        <source>Gleistron Info</source>
        <translation>Gleistron info</translation>
    </message>
    <message>
        <source>Seriennr.</source>
        <translation>Serial no.</translation>
    </message>
    <message>
        <source>Soft.Ver.</source>
        <translation>Softw. ver.</translation>
    </message>
    <message>
        <source>Prot.Ver.</source>
        <translation>Prot. ver.</translation>
    </message>
    <message>
        <source>Dat.Ver.</source>
        <translation>Data ver.</translation>
    </message>
    <message>
        <source>Backup Datei Info</source>
        <translation>Backup file info</translation>
    </message>
    <message>
        <source>Datum</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Startseite</source>
        <translation>Start page</translation>
    </message>
    <message>
        <source>Datensicherung</source>
        <translation>Backup</translation>
    </message>
    <message>
        <source>Fahrstrassen</source>
        <translation>Routes</translation>
    </message>
    <message>
        <source>LSB Update</source>
        <translation>LSB update</translation>
    </message>
    <message>
        <source>Lokbildeditor</source>
        <translation>Locomotive image editor</translation>
    </message>
    <message>
        <source>Signalbildeditor</source>
        <translation>Signal image editor</translation>
    </message>
    <message>
        <source>Richtung auswählen</source>
        <translation>Choose direction</translation>
    </message>
    <message>
        <source>Gleistron -&gt; PC</source>
        <translation>Gleistron -&gt; PC</translation>
    </message>
    <message>
        <source>&amp;Gleistron -&gt; PC</source>
        <translation>&amp;Gleistron -&gt; PC</translation>
    </message>
    <message>
        <source>PC -&gt; Gleistron</source>
        <translation>PC -&gt; Gleistron</translation>
    </message>
    <message>
        <source>&amp;PC -&gt; Gleistron</source>
        <translation>&amp;PC -&gt; Gleistron</translation>
    </message>
    <message>
        <source>Datei auswählen</source>
        <translation>Choose file</translation>
    </message>
    <message>
        <source>Auswählen...</source>
        <translation>Choose...</translation>
    </message>
    <message>
        <source>A&amp;uswählen...</source>
        <translation>Ch&amp;oose...</translation>
    </message>
    <message>
        <source>Daten auswählen und übertragen</source>
        <translation>Select and transfer data</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Verbinden Sie den Gleistron per USB-Kabel mit Ihrem Computer.&lt;br/&gt;Wechseln Sie im Gleistron in das Menü Datensicherung.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Connect the Gleistron to your computer with the USB cable.&lt;br/&gt;On the Gleistron, open the menu Backup (Datensicherung).&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Keine Richtung ausgewählt!</source>
        <translation>No direction chosen!</translation>
    </message>
    <message>
        <source>Daten herunterladen</source>
        <translation>Download data</translation>
    </message>
    <message>
        <source>Daten &amp;herunterladen</source>
        <translation>&amp;Download data</translation>
    </message>
    <message>
        <source>Daten hochladen</source>
        <translation>Upload data</translation>
    </message>
    <message>
        <source>Daten hoch&amp;laden</source>
        <translation>&amp;Upload data</translation>
    </message>
    <message>
        <source>Analysiere Daten</source>
        <translation>Analysing data</translation>
    </message>
    <message>
        <source>Lokomotiven</source>
        <translation>Locomotives</translation>
    </message>
    <message>
        <source>Gleisplan 1</source>
        <translation>Track plan 1</translation>
    </message>
    <message>
        <source>Gleisplan 2</source>
        <translation>Track plan 2</translation>
    </message>
    <message>
        <source>Gleisplan 3</source>
        <translation>Track plan 3</translation>
    </message>
    <message>
        <source>Schaltartikel</source>
        <translation>Switching articles</translation>
    </message>
    <message>
        <source>Rückmelder</source>
        <translation>Feedback modules</translation>
    </message>
    <message>
        <source>LSB-Geräte</source>
        <translation>LSB devices</translation>
    </message>
    <message>
        <source>HSB-Geräte</source>
        <translation>HSB devices</translation>
    </message>
    <message>
        <source>Systemkonfiguration</source>
        <translation>System configuration</translation>
    </message>
    <message>
        <source>Lokbilder</source>
        <translation>Locomotive images</translation>
    </message>
    <message>
        <source>Benutzerdefinierte Lokfunktionsbilder</source>
        <translation>User-defined locomotive function images</translation>
    </message>
    <message>
        <source>Benutzerdefinierte Signalbilder</source>
        <translation>User-defined signal images</translation>
    </message>
    <message>
        <source>Alles auswählen</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>Alles aus&amp;wählen</source>
        <translation>Select &amp;all</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Fahrstrasse</source>
        <translation>Route</translation>
    </message>
    <message>
        <source>(noch nicht geladen!)</source>
        <translation>(not loaded yet!)</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>aus Gleistron laden</source>
        <translation>load from Gleistron</translation>
    </message>
    <message>
        <source>Starttaste:</source>
        <translation>Start key:</translation>
    </message>
    <message>
        <source>Zieltaste:</source>
        <translation>Destination key:</translation>
    </message>
    <message>
        <source>Plan</source>
        <translation>Plan</translation>
    </message>
    <message>
        <source>Zeile</source>
        <translation>Row</translation>
    </message>
    <message>
        <source>Spalte</source>
        <translation>Column</translation>
    </message>
    <message>
        <source>Kommentar:</source>
        <translation>Comment:</translation>
    </message>
    <message>
        <source>Karteikarte</source>
        <translation>Card</translation>
    </message>
    <message>
        <source>Nr</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>Typ</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Adresse</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Befehl</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>Karte 2:</source>
        <translation>Card 2:</translation>
    </message>
    <message>
        <source>Karte 3:</source>
        <translation>Card 3:</translation>
    </message>
    <message>
        <source>Karte 4:</source>
        <translation>Card 4:</translation>
    </message>
    <message>
        <source>Karte 5:</source>
        <translation>Card 5:</translation>
    </message>
    <message>
        <source>Karte 6:</source>
        <translation>Card 6:</translation>
    </message>
    <message>
        <source>Karte 7:</source>
        <translation>Card 7:</translation>
    </message>
    <message>
        <source>Fahrstrasse aufrufen</source>
        <translation>Call route</translation>
    </message>
    <message>
        <source>Rückmeldung beachten</source>
        <translation>Observe feedback</translation>
    </message>
    <message>
        <source>Stellbefehle</source>
        <translation>Setting commands</translation>
    </message>
    <message>
        <source>Schaltgleisfunktionen</source>
        <translation>Switching track functions</translation>
    </message>
    <message>
        <source>Zielkontakte</source>
        <translation>Destination contacts</translation>
    </message>
    <message>
        <source>Fahrstrasse auflösen</source>
        <translation>Release route</translation>
    </message>
    <message>
        <source>Firmware für LSB-Gerät aufladen</source>
        <translation>Upload firmware to an LSB device</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Wählen Sie im Geräteeditor des Gleistron das LSB-Gerät aus und schalten Sie es in den Update Modus.&lt;br/&gt;Wählen Sie dann hier die passende Firmware-Datei aus.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;In the Gleistron&apos;s device editor, select the LSB device and switch it to update mode.&lt;br/&gt;Then choose the matching firmware file here.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Im Firmware-Datei</source>
        <translation>In the firmware file</translation>
    </message>
    <message>
        <source>Gerät</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>Analysieren ...</source>
        <translation>Analysing ...</translation>
    </message>
    <message>
        <source>HW-Ver.</source>
        <translation>HW ver.</translation>
    </message>
    <message>
        <source>SW-Ver.</source>
        <translation>SW ver.</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>&amp;Abbrechen</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;FEHLER: Kein Gleistron gefunden!&lt;/span&gt;&lt;BR&gt;</source>
        <translation>&lt;BR&gt;&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;ERROR: No Gleistron found!&lt;/span&gt;&lt;BR&gt;</translation>
    </message>
    <message>
        <source>
    Achtung! Gleistron nicht im Richtigem Modus.

</source>
        <translation>
    Warning! The Gleistron is not in the right mode.

</translation>
    </message>
    <message>
        <source>Gleistron gefunden mit Seriennummer &lt;span style=&quot;font-weight:bold;&quot;&gt;%1&lt;/span&gt;                                                    und Softwareversion &lt;span style=&quot;font-weight:bold;&quot;&gt;%2&lt;/span&gt; &lt;BR&gt;</source>
        <translation>Gleistron found with serial number &lt;span style=&quot;font-weight:bold;&quot;&gt;%1&lt;/span&gt;                                                    and software version &lt;span style=&quot;font-weight:bold;&quot;&gt;%2&lt;/span&gt; &lt;BR&gt;</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#000000;&quot;&gt;Ihre Gleistron Software Version ist veraltet. Sie können die aktuelle Software als Update kostenlos von unserer &lt;a href=&quot;%1&quot;&gt;Internet Seite&lt;/a&gt; herunterladen. Installieren Sie diese dann von Ihrem PC auf den Gleistron so wie es in der Installationsanweisung beschrieben ist.&lt;/span&gt;</source>
        <translation>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#000000;&quot;&gt;The software of your Gleistron is out of date. You can download the current software as a free update from our &lt;a href=&quot;%1&quot;&gt;web site&lt;/a&gt;. Then install it from your PC onto the Gleistron as the installation guide describes.&lt;/span&gt;</translation>
    </message>
    <message>
        <source>/index.php?show=categories&amp;cPath=155_157&amp;cId=157&amp;lang=de#Aktuelle Updates</source>
        <translation>/index.php?show=categories&amp;cPath=155_157&amp;cId=157&amp;lang=en#Aktuelle Updates</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;Kommunikation mit Gleistron unterbrochen! &lt;/span&gt;</source>
        <translation>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;Communication with the Gleistron interrupted! &lt;/span&gt;</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;FEHLER: USB Verbindung mit Gleistron verloren! Bitte stecken Sie den Kabel erneut an. &lt;/span&gt;&lt;BR&gt;</source>
        <translation>&lt;BR&gt;&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;ERROR: USB connection to the Gleistron lost! Please plug the cable in again. &lt;/span&gt;&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Verbindung wieder hergestellt!&lt;BR&gt;</source>
        <translation>Connection restored!&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Eine Übertragung mit dem Gleistron läuft noch.

Wollen Sie sie abbrechen und das Programm beenden?</source>
        <translation>A transfer with the Gleistron is still running.

Do you want to stop it and quit the program?</translation>
    </message>
    <message>
        <source>&lt;BR&gt;Übertragung wird abgebrochen ...&lt;BR&gt;</source>
        <translation>&lt;BR&gt;Stopping the transfer ...&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Ja</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Nein</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Lade Lokomotiven ... </source>
        <translation>Loading locomotives ... </translation>
    </message>
    <message>
        <source>  Lokomotiven geladen in %1 Sek. &lt;BR&gt;</source>
        <translation>  Locomotives loaded in %1 s. &lt;BR&gt;</translation>
    </message>
    <message>
        <source>Lade Gleisplan %1 ... </source>
        <translation>Loading track plan %1 ... </translation>
    </message>
    <message>
        <source>  Gleisplan %1 geladen in %2 Sek. &lt;BR&gt;</source>
        <translation>  Track plan %1 loaded in %2 s. &lt;BR&gt;</translation>
    </message>
    <message>
        <source>Lade Schaltartikel ... </source>
        <translation>Loading switching articles ... </translation>
    </message>
    <message>
        <source>  Schaltartikel geladen in %1 Sek. &lt;BR&gt;</source>
        <translation>  Switching articles loaded in %1 s. &lt;BR&gt;</translation>
    </message>
    <message>
        <source>Lade Rückmelder ... </source>
        <translation>Loading feedback modules ... </translation>
    </message>
    <message>
        <source>  Rückmelder geladen in %1 Sek. &lt;BR&gt;</source>
        <translation>  Feedback modules loaded in %1 s. &lt;BR&gt;</translation>
    </message>
    <message>
        <source>Lade Fahrstrassen ... </source>
        <translation>Loading routes ... </translation>
    </message>
    <message>
        <source>  Fahrstrassen geladen in %1 Sek. &lt;BR&gt;</source>
        <translation>  Routes loaded in %1 s. &lt;BR&gt;</translation>
    </message>
    <message>
        <source>Lade LSB Geräte ... </source>
        <translation>Loading LSB devices ... </translation>
    </message>
    <message>
        <source>  LSB Geräte geladen in %1 Sek. &lt;BR&gt;</source>
        <translation>  LSB devices loaded in %1 s. &lt;BR&gt;</translation>
    </message>
    <message>
        <source>Lade HSB Geräte ... </source>
        <translation>Loading HSB devices ... </translation>
    </message>
    <message>
        <source>  HSB Geräte geladen in %1 Sek. &lt;BR&gt;</source>
        <translation>  HSB devices loaded in %1 s. &lt;BR&gt;</translation>
    </message>
    <message>
        <source>Lade Systemkonfiguration ... </source>
        <translation>Loading system configuration ... </translation>
    </message>
    <message>
        <source>  Systemkonfiguration geladen in %1 Sek. &lt;BR&gt;</source>
        <translation>  System configuration loaded in %1 s. &lt;BR&gt;</translation>
    </message>
    <message>
        <source>Lade Lokbilder ... </source>
        <translation>Loading locomotive images ... </translation>
    </message>
    <message>
        <source>  Lokbilder geladen in %1 Sek. &lt;BR&gt;</source>
        <translation>  Locomotive images loaded in %1 s. &lt;BR&gt;</translation>
    </message>
    <message>
        <source>&lt;span style=&quot;font-weight:bold;color:#006600;&quot;&gt;Alle ausgewählte Datensätze geladen in %1 Sek. &lt;/span&gt;&lt;HR&gt;&lt;BR&gt;</source>
        <translation>&lt;span style=&quot;font-weight:bold;color:#006600;&quot;&gt;All selected data sets loaded in %1 s. &lt;/span&gt;&lt;HR&gt;&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Gleispläne gespeichert. &lt;BR&gt;</source>
        <translation>Track plans saved. &lt;BR&gt;</translation>
    </message>
    <message>
        <source>Speichere Lokomotiven ... </source>
        <translation>Saving locomotives ... </translation>
    </message>
    <message>
        <source>  Lokomotiven gespeichert in %1 Sek. &lt;BR&gt;</source>
        <translation>  Locomotives saved in %1 s. &lt;BR&gt;</translation>
    </message>
    <message>
        <source>Speichere Gleisplan %1 ... </source>
        <translation>Saving track plan %1 ... </translation>
    </message>
    <message>
        <source>  Gleisplan %1 übertragen in %2 Sek. &lt;BR&gt;</source>
        <translation>  Track plan %1 transferred in %2 s. &lt;BR&gt;</translation>
    </message>
    <message>
        <source>Speichere Schaltartikel ... </source>
        <translation>Saving switching articles ... </translation>
    </message>
    <message>
        <source>  Schaltartikel gespeichert in %1 Sek. &lt;BR&gt;</source>
        <translation>  Switching articles saved in %1 s. &lt;BR&gt;</translation>
    </message>
    <message>
        <source>Speichere Rückmelder ... </source>
        <translation>Saving feedback modules ... </translation>
    </message>
    <message>
        <source>  Rückmelder gespeichert in %1 Sek. &lt;BR&gt;</source>
        <translation>  Feedback modules saved in %1 s. &lt;BR&gt;</translation>
    </message>
    <message>
        <source>Speichere Fahrstrassen ... </source>
        <translation>Saving routes ... </translation>
    </message>
    <message>
        <source>  Fahrstrassen gespeichert in %1 Sek. &lt;BR&gt;</source>
        <translation>  Routes saved in %1 s. &lt;BR&gt;</translation>
    </message>
    <message>
        <source>Speichere LSB Datensätze ... </source>
        <translation>Saving LSB records ... </translation>
    </message>
    <message>
        <source>  LSB Datensätze gespeichert in %1 Sek. &lt;BR&gt;</source>
        <translation>  LSB records saved in %1 s. &lt;BR&gt;</translation>
    </message>
    <message>
        <source>Speichere HSB Datensätze ... </source>
        <translation>Saving HSB records ... </translation>
    </message>
    <message>
        <source>  HSB Datensätze gespeichert in %1 Sek. &lt;BR&gt;</source>
        <translation>  HSB records saved in %1 s. &lt;BR&gt;</translation>
    </message>
    <message>
        <source>Speichere Systemkonfiguration ... </source>
        <translation>Saving system configuration ... </translation>
    </message>
    <message>
        <source>  Systemkonfiguration gespeichert in %1 Sek. &lt;BR&gt;</source>
        <translation>  System configuration saved in %1 s. &lt;BR&gt;</translation>
    </message>
    <message>
        <source>Speichere Lokbilder ... </source>
        <translation>Saving locomotive images ... </translation>
    </message>
    <message>
        <source>  Lokbilder gespeichert in %1 Sek. &lt;BR&gt;</source>
        <translation>  Locomotive images saved in %1 s. &lt;BR&gt;</translation>
    </message>
    <message>
        <source>&lt;span style=&quot;font-weight:bold;color:#006600;&quot;&gt;Alle ausgewählte Datensätze übertragen in %1 Sek. &lt;/span&gt; &lt;HR&gt;&lt;BR&gt;</source>
        <translation>&lt;span style=&quot;font-weight:bold;color:#006600;&quot;&gt;All selected data sets transferred in %1 s. &lt;/span&gt; &lt;HR&gt;&lt;BR&gt;</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;B&gt;&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp;Warnung: keine Datensätze ausgewählt!&lt;/B&gt;&lt;BR&gt;</source>
        <translation>&lt;BR&gt;&lt;B&gt;&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp;Warning: no data sets selected!&lt;/B&gt;&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Lade Datensätze aus Gleistron ...</source>
        <translation>Loading data sets from the Gleistron ...</translation>
    </message>
    <message>
        <source>Speichere Datensätze im Gleistron ...</source>
        <translation>Saving data sets to the Gleistron ...</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;WARNUNG! Gleistron Manager Version veraltet!&lt;/span&gt;&lt;BR&gt;Datenmodell Version im Gleistron: %1&lt;BR&gt;Datenmodell Version im Gleistron Manager: %2</source>
        <translation>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;WARNING! Gleistron Manager version out of date!&lt;/span&gt;&lt;BR&gt;Data model version in the Gleistron: %1&lt;BR&gt;Data model version in Gleistron Manager: %2</translation>
    </message>
    <message>
        <source>&lt;B&gt;Warnung!&lt;/B&gt; &lt;BR&gt;&lt;BR&gt;Ihr Gleistron verwendet eine neuere Software Version, die eine Verwendung alter Backup Programme nicht vorsieht. Um auch alle neuen Gleistron Features sichern zu können, verwenden Sie bitte die aktuelle Version des Gleistron Managers. Sie finden diesen kostenlos auf unserer &lt;a href=&quot;%1&quot;&gt;Internet Seite&lt;/a&gt;. &lt;BR&gt;&lt;BR&gt; &lt;span style=&quot;font-weight:bold;color:#990000;font-size:120%;&quot;&gt;Achtung !!!! Sie führen ein Backup mit einer veralteten Software aus. Es ist nicht garantiert dass alle Daten gesichert oder auf den Gleistron übertragen werden.&lt;/span&gt; &lt;BR&gt;&lt;BR&gt;  Möchten Sie trotzdem fortsetzen?</source>
        <translation>&lt;B&gt;Warning!&lt;/B&gt; &lt;BR&gt;&lt;BR&gt;Your Gleistron uses a newer software version, which older backup programs do not support. To back up all new Gleistron features as well, please use the current version of Gleistron Manager. You will find it free of charge on our &lt;a href=&quot;%1&quot;&gt;web site&lt;/a&gt;. &lt;BR&gt;&lt;BR&gt; &lt;span style=&quot;font-weight:bold;color:#990000;font-size:120%;&quot;&gt;Warning! You are running a backup with out-of-date software. It is not guaranteed that all data will be saved or transferred to the Gleistron.&lt;/span&gt; &lt;BR&gt;&lt;BR&gt;  Do you want to continue anyway?</translation>
    </message>
    <message>
        <source>/index.php?show=categories&amp;cPath=155_158&amp;cId=158&amp;lang=de#Gleistron Manager</source>
        <translation>/index.php?show=categories&amp;cPath=155_158&amp;cId=158&amp;lang=en#Gleistron Manager</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;Datei kann nicht geschrieben werden!&lt;/span&gt;&lt;BR&gt;&lt;BR&gt;</source>
        <translation>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;The file cannot be written!&lt;/span&gt;&lt;BR&gt;&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Backup Datei &lt;B&gt;%1&lt;/B&gt; gespeichert.&lt;BR&gt;</source>
        <translation>Backup file &lt;B&gt;%1&lt;/B&gt; saved.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>BackUp Datei</source>
        <translation>Backup file</translation>
    </message>
    <message>
        <source>Gleistron BackUp Datei (*.GTB2)</source>
        <translation>Gleistron backup file (*.GTB2)</translation>
    </message>
    <message>
        <source>Backup Datei</source>
        <translation>Backup file</translation>
    </message>
    <message>
        <source>Orvandel Gleistron Backup Dateien (*.GTB2);;alte Orvandel Gleistron Backup Dateien (*.GTB)</source>
        <translation>Orvandel Gleistron backup files (*.GTB2);;old Orvandel Gleistron backup files (*.GTB)</translation>
    </message>
    <message>
        <source>Datenformat ungültig!&lt;BR&gt;</source>
        <translation>Invalid data format!&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Backup Datei &lt;B&gt;</source>
        <translation>Backup file &lt;B&gt;</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;Fehler bei Laden!&lt;/span&gt;&lt;BR&gt;&lt;BR&gt;</source>
        <translation>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;Error while loading!&lt;/span&gt;&lt;BR&gt;&lt;BR&gt;</translation>
    </message>
    <message>
        <source>geöffnet.&lt;BR&gt;</source>
        <translation>opened.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>(Daten vorhanden)</source>
        <translation>(data present)</translation>
    </message>
    <message numerus="yes">
        <source>%n Datensätze</source>
        <translation>
            <numerusform>%n record</numerusform>
            <numerusform>%n records</numerusform>
        </translation>
    </message>
    <message>
        <source>Die geladene Datensätze sind nicht gespeichert. 

 Wollen Sie speichern?</source>
        <translation>The loaded data sets are not saved. 

 Do you want to save them?</translation>
    </message>
    <message>
        <source>Altes Backup Datei &lt;B&gt;</source>
        <translation>Old backup file &lt;B&gt;</translation>
    </message>
    <message>
        <source>importiert.&lt;BR&gt;</source>
        <translation>imported.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Vollautomatik</source>
        <translation>Fully automatic</translation>
    </message>
    <message>
        <source>Teilautomatik</source>
        <translation>Semi-automatic</translation>
    </message>
    <message>
        <source>Handbetrieb</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>Geparkt</source>
        <translation>Parked</translation>
    </message>
    <message>
        <source>Weiche</source>
        <translation>Turnout</translation>
    </message>
    <message>
        <source>Beleuchtung/Sonstiges</source>
        <translation>Lighting/other</translation>
    </message>
    <message>
        <source>aus</source>
        <translation>off</translation>
    </message>
    <message>
        <source>ein</source>
        <translation>on</translation>
    </message>
    <message>
        <source>Lichtsignal</source>
        <translation>Light signal</translation>
    </message>
    <message>
        <source>KS-Lichtsignal</source>
        <translation>Ks light signal</translation>
    </message>
    <message>
        <source>Formsignal</source>
        <translation>Semaphore signal</translation>
    </message>
    <message>
        <source>frei</source>
        <translation>free</translation>
    </message>
    <message>
        <source>belegt</source>
        <translation>occupied</translation>
    </message>
    <message>
        <source>belegt (Permanent)</source>
        <translation>occupied (permanent)</translation>
    </message>
    <message>
        <source>Sperrzeit</source>
        <translation>Lock time</translation>
    </message>
    <message>
        <source>Sanduhr</source>
        <translation>Hourglass</translation>
    </message>
    <message>
        <source>Lok Fahrbefehl</source>
        <translation>Loco drive command</translation>
    </message>
    <message>
        <source>Lok Funktionsbefehl</source>
        <translation>Loco function command</translation>
    </message>
    <message>
        <source>Schaffner</source>
        <translation>Conductor</translation>
    </message>
    <message>
        <source>%1.%2 Sek</source>
        <translation>%1.%2 s</translation>
    </message>
    <message>
        <source>ZUG-ID</source>
        <translation>TRAIN ID</translation>
    </message>
    <message>
        <source>abzweig</source>
        <translation>diverging</translation>
    </message>
    <message>
        <source>gerade</source>
        <translation>straight</translation>
    </message>
    <message>
        <source>abzweig 3-Weg</source>
        <translation>diverging 3-way</translation>
    </message>
    <message>
        <source>Begriff %1</source>
        <translation>Aspect %1</translation>
    </message>
    <message>
        <source>WSTOP</source>
        <translation>WSTOP</translation>
    </message>
    <message>
        <source>USTOP</source>
        <translation>USTOP</translation>
    </message>
    <message>
        <source>VSTOP</source>
        <translation>VSTOP</translation>
    </message>
    <message>
        <source>RSTOP</source>
        <translation>RSTOP</translation>
    </message>
    <message>
        <source>WMINI</source>
        <translation>WMINI</translation>
    </message>
    <message>
        <source>UMINI</source>
        <translation>UMINI</translation>
    </message>
    <message>
        <source>VMINI</source>
        <translation>VMINI</translation>
    </message>
    <message>
        <source>RMINI</source>
        <translation>RMINI</translation>
    </message>
    <message>
        <source>WNORM</source>
        <translation>WNORM</translation>
    </message>
    <message>
        <source>UNORM</source>
        <translation>UNORM</translation>
    </message>
    <message>
        <source>VNORM</source>
        <translation>VNORM</translation>
    </message>
    <message>
        <source>RNORM</source>
        <translation>RNORM</translation>
    </message>
    <message>
        <source>WMAXI</source>
        <translation>WMAXI</translation>
    </message>
    <message>
        <source>UMAXI</source>
        <translation>UMAXI</translation>
    </message>
    <message>
        <source>VMAXI</source>
        <translation>VMAXI</translation>
    </message>
    <message>
        <source>RMAXI</source>
        <translation>RMAXI</translation>
    </message>
    <message>
        <source>(nicht geladen!)</source>
        <translation>(not loaded!)</translation>
    </message>
    <message>
        <source>Datensatz ist leer!</source>
        <translation>Record is empty!</translation>
    </message>
    <message>
        <source>&amp;nbsp;Fahrstrasse &lt;b&gt;%1&lt;/b&gt;  &amp;nbsp;&amp;nbsp;  Kommentar: &lt;b&gt;&quot;%2&quot;&lt;/b&gt;  &amp;nbsp;&amp;nbsp;  Modus: &lt;b&gt;%3&lt;/b&gt;</source>
        <translation>&amp;nbsp;Route &lt;b&gt;%1&lt;/b&gt;  &amp;nbsp;&amp;nbsp;  Comment: &lt;b&gt;&quot;%2&quot;&lt;/b&gt;  &amp;nbsp;&amp;nbsp;  Mode: &lt;b&gt;%3&lt;/b&gt;</translation>
    </message>
    <message>
        <source>&amp;nbsp;Starttaste: &amp;nbsp; Plan &amp;nbsp; %1 &amp;nbsp; Zeile &amp;nbsp; %2 &amp;nbsp; Spalte &amp;nbsp; %3 &amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp; Zieltaste: &amp;nbsp; Plan &amp;nbsp; %4 &amp;nbsp; Zeile &amp;nbsp; %5 &amp;nbsp; Spalte &amp;nbsp; %6 </source>
        <translation>&amp;nbsp;Start key: &amp;nbsp; Plan &amp;nbsp; %1 &amp;nbsp; Row &amp;nbsp; %2 &amp;nbsp; Column &amp;nbsp; %3 &amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp; Destination key: &amp;nbsp; Plan &amp;nbsp; %4 &amp;nbsp; Row &amp;nbsp; %5 &amp;nbsp; Column &amp;nbsp; %6 </translation>
    </message>
    <message>
        <source>Firmware Datei</source>
        <translation>Firmware file</translation>
    </message>
    <message>
        <source>Orvandel LSB Update Dateien (*.lsb)</source>
        <translation>Orvandel LSB update files (*.lsb)</translation>
    </message>
    <message>
        <source>Update mit den ausgewählten USB-Gerät ist nicht unterstützt!</source>
        <translation>Updating the selected device is not supported!</translation>
    </message>
    <message>
        <source>Update Datei ist ungültig!</source>
        <translation>The update file is invalid!</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;FEHLER:&lt;/span&gt; Gleistron ist nicht im Geräteeditor Update Modus (bitte das Gerät im Geräteeditor auswählen, indem man auf den Tastensymbol in die Liste klickt)!&lt;BR&gt;</source>
        <translation>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;ERROR:&lt;/span&gt; The Gleistron is not in the device editor&apos;s update mode (select the device in the device editor by clicking the key symbol in the list)!&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Gleistron ist nicht im Geräteeditor LSB Update Modus!</source>
        <translation>The Gleistron is not in the device editor&apos;s LSB update mode!</translation>
    </message>
    <message>
        <source>Der Gerätetyp der Firmware-Datei (%1) passt nicht zum Gerät (%2)!</source>
        <translation>The firmware file&apos;s device type (%1) does not match the device (%2)!</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;B&gt;Bitte eine .GTB2 Datei wählen.&lt;/B&gt;&lt;BR&gt;</source>
        <translation>&lt;BR&gt;&lt;B&gt;Please choose a .GTB2 file.&lt;/B&gt;&lt;BR&gt;</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;Das Hochladen endet, sobald %1 im Gleistron gespeichert ist.&lt;/span&gt; Was ein Speicherschritt braucht, wird ganz gesendet (bei den Fahrstrassen bis zu etwa anderthalb Minuten), damit keine halbe Übertragung im Gleistron vorgemerkt bleibt. Erneutes „Abbrechen“ beendet sofort.&lt;BR&gt;</source>
        <translation>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;The upload ends as soon as the Gleistron has stored %1.&lt;/span&gt; What one storing step needs is sent in full (for the routes up to about a minute and a half), so that no half transfer is left pending in the Gleistron. Cancelling again stops at once.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>%1 (%2 Bilder)</source>
        <translation>%1 (%2 images)</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;Hochladen beendet: der Gleistron hat den PC-Modus verlassen.&lt;/span&gt; </source>
        <translation>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;Upload ended: the Gleistron has left its PC mode.&lt;/span&gt; </translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;Hochladen abgebrochen.&lt;/span&gt; </source>
        <translation>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#660000;&quot;&gt;Upload cancelled.&lt;/span&gt; </translation>
    </message>
    <message>
        <source>%1, Zeile %2, Spalte %3</source>
        <translation>%1, row %2, column %3</translation>
    </message>
    <message>
        <source>%1, Datensatz %2</source>
        <translation>%1, record %2</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;Herunterladen fehlgeschlagen:&lt;/span&gt; Der Gleistron antwortet auf %1 wiederholt anders, als der Befehl es zulässt. Vollständig geladen: %2. Nicht übernommen: %3.&lt;BR&gt;</source>
        <translation>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;Download failed:&lt;/span&gt; The Gleistron keeps answering %1 otherwise than the command allows. Loaded completely: %2. Not taken: %3.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;Hochladen fehlgeschlagen:&lt;/span&gt; Der Gleistron antwortet auf %1 wiederholt anders, als der Befehl es zulässt. </source>
        <translation>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;Upload failed:&lt;/span&gt; The Gleistron keeps answering %1 otherwise than the command allows. </translation>
    </message>
    <message>
        <source>Aus der Datei übernommen: %1. Im Gleistron unverändert: %2.&lt;BR&gt;</source>
        <translation>Taken from the file: %1. Unchanged in the Gleistron: %2.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;Gesendet, aber nicht gespeichert: %1.&lt;/span&gt; Der Gleistron kann diese Daten vorgemerkt halten, bis er neu gestartet wird; bitte vor dem nächsten Hochladen aus- und wieder einschalten.&lt;BR&gt;</source>
        <translation>&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;Sent but not stored: %1.&lt;/span&gt; The Gleistron may keep this data pending until it is restarted; please switch it off and on again before the next upload.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>%1 ist die Datei, die hochgeladen wird. Bitte den vorherigen Stand in einer anderen Datei sichern; nichts wurde gesendet.</source>
        <translation>%1 is the file being uploaded. Please keep the previous state in another file; nothing was sent.</translation>
    </message>
    <message>
        <source>%1 gibt es schon; nichts wurde gesendet.</source>
        <translation>%1 exists already; nothing was sent.</translation>
    </message>
    <message>
        <source>%1 kann nicht geschrieben werden: %2; nichts wurde gesendet.</source>
        <translation>%1 cannot be written: %2; nothing was sent.</translation>
    </message>
    <message>
        <source>Die Datei ist beschädigt (%1); nichts wurde gesendet.</source>
        <translation>The file is damaged (%1); nothing was sent.</translation>
    </message>
    <message>
        <source>unvollständig</source>
        <translation>incomplete</translation>
    </message>
    <message>
        <source>Keiner der ausgewählten Datensätze ist in der Datensicherung; nichts wurde gesendet.</source>
        <translation>None of the selected data sets is in the backup; nothing was sent.</translation>
    </message>
    <message>
        <source>Nichts wurde gesendet.&lt;BR&gt;</source>
        <translation>Nothing was sent.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>%1 %2: nur im Gleistron&lt;BR&gt;</source>
        <translation>%1 %2: only in the Gleistron&lt;BR&gt;</translation>
    </message>
    <message>
        <source>%1 Datensätze hat nur der Gleistron, nicht die Datensicherung. Der Gleistron behält sie; sollen sie weg, bitte am Gleistron löschen.&lt;BR&gt;</source>
        <translation>%1 records are in the Gleistron only, not in the backup. The Gleistron keeps them; if they should go, please delete them on the Gleistron.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Dateikopf</source>
        <translation>file header</translation>
    </message>
    <message>
        <source>&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;Die Datei ist beschädigt:&lt;/span&gt; %1, Abschnitt %2, Zeile %3 (%4).%5&lt;BR&gt;</source>
        <translation>&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;The file is damaged:&lt;/span&gt; %1, section %2, line %3 (%4).%5&lt;BR&gt;</translation>
    </message>
    <message>
        <source> Dieser Datensatz wurde nicht übernommen.</source>
        <translation> This data set was not taken.</translation>
    </message>
    <message>
        <source>Die Datensätze stammen aus verschiedenen Quellen:

%1

Die Datei nennt als Herkunft Gleistron %2. Trotzdem speichern?</source>
        <translation>The data sets come from different sources:

%1

The file names Gleistron %2 as their origin. Save all the same?</translation>
    </message>
    <message>
        <source>(unbekannt)</source>
        <translation>(unknown)</translation>
    </message>
    <message>
        <source>Nummer oder Text</source>
        <translation>Number or text</translation>
    </message>
    <message>
        <source>nur &amp;belegte</source>
        <translation>h&amp;eld only</translation>
    </message>
    <message>
        <source>Das Dokument enthält keine Fahrstrassen. Laden Sie sie auf dem Reiter „Datensicherung“ aus dem Gleistron herunter, oder öffnen Sie eine Sicherungsdatei („Datei“ &gt; „Datensicherung öffnen ...“).</source>
        <translation>The document holds no routes. Download them from the Gleistron on the “Backup” tab, or open a backup file (“File” &gt; “Open backup ...”).</translation>
    </message>
    <message>
        <source>F&amp;ahrstrassenbuch drucken ...</source>
        <translation>Print route &amp;book ...</translation>
    </message>
    <message>
        <source>Fahrstrassen e&amp;xportieren ...</source>
        <translation>E&amp;xport routes ...</translation>
    </message>
    <message>
        <source>Plan %1, Zeile %2, Spalte %3</source>
        <translation>Plan %1, row %2, column %3</translation>
    </message>
    <message>
        <source>Fahrstrasse %1</source>
        <translation>Route %1</translation>
    </message>
    <message>
        <source>Modus: %1</source>
        <translation>Mode: %1</translation>
    </message>
    <message>
        <source>Starttaste: %1</source>
        <translation>Start key: %1</translation>
    </message>
    <message>
        <source>Zieltaste: %1</source>
        <translation>Destination key: %1</translation>
    </message>
    <message>
        <source>(keine Einträge)</source>
        <translation>(no entries)</translation>
    </message>
    <message>
        <source>Fahrstrassenbuch</source>
        <translation>Route book</translation>
    </message>
    <message>
        <source>Datensicherung: %1</source>
        <translation>Backup: %1</translation>
    </message>
    <message>
        <source>nicht gespeichert</source>
        <translation>not saved</translation>
    </message>
    <message>
        <source>Gedruckt am %1</source>
        <translation>Printed on %1</translation>
    </message>
    <message>
        <source>Fahrstrassen: %1</source>
        <translation>Routes: %1</translation>
    </message>
    <message>
        <source>Inhalt</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>Verzeichnis der Elemente</source>
        <translation>Index of elements</translation>
    </message>
    <message>
        <source>Seite %1 von %2</source>
        <translation>Page %1 of %2</translation>
    </message>
    <message>
        <source>Die PDF-Datei kann nicht angelegt werden.</source>
        <translation>The PDF file cannot be created.</translation>
    </message>
    <message>
        <source>Karte</source>
        <translation>Card</translation>
    </message>
    <message>
        <source>%1 enthält keine Fahrstrassen.</source>
        <translation>%1 holds no routes.</translation>
    </message>
    <message>
        <source>%1 kann nicht geschrieben werden: %2</source>
        <translation>%1 cannot be written: %2</translation>
    </message>
    <message>
        <source>%1 Fahrstrassen in %2</source>
        <translation>%1 routes in %2</translation>
    </message>
    <message>
        <source>Fahrstrassenbuch drucken</source>
        <translation>Print route book</translation>
    </message>
    <message>
        <source>Fahrstrassenbuch der %1 ausgewählten Fahrstrassen</source>
        <translation>Route book of the %1 selected routes</translation>
    </message>
    <message>
        <source>PDF-Dateien (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;%1 kann nicht geschrieben werden!&lt;/span&gt; %2&lt;BR&gt;</source>
        <translation>&lt;BR&gt;&lt;span style=&quot;font-weight:bold;color:#990000;&quot;&gt;%1 cannot be written!&lt;/span&gt; %2&lt;BR&gt;</translation>
    </message>
    <message>
        <source>&lt;BR&gt;Fahrstrassenbuch mit %1 Fahrstrassen: %2&lt;BR&gt;</source>
        <translation>&lt;BR&gt;Route book with %1 routes: %2&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Fahrstrassen exportieren</source>
        <translation>Export routes</translation>
    </message>
    <message>
        <source>CSV-Dateien (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>&lt;BR&gt;%1 Fahrstrassen exportiert: %2&lt;BR&gt;</source>
        <translation>&lt;BR&gt;%1 routes exported: %2&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Le&amp;tzte Sicherungen ...</source>
        <translation>Rece&amp;nt backups ...</translation>
    </message>
    <message>
        <source>Letzte Sicherungen</source>
        <translation>Recent backups</translation>
    </message>
    <message>
        <source>Gesichert</source>
        <translation>Saved</translation>
    </message>
    <message>
        <source>Bereiche</source>
        <translation>Sets</translation>
    </message>
    <message>
        <source>Änderungen gegenüber der vorigen</source>
        <translation>Changes against the one before</translation>
    </message>
    <message>
        <source>Ö&amp;ffnen</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>&amp;Ordner wählen ...</source>
        <translation>Choose &amp;folder ...</translation>
    </message>
    <message>
        <source>Ordner der Sicherungen</source>
        <translation>Folder of the backups</translation>
    </message>
    <message>
        <source>Keine Sicherungen in %1.</source>
        <translation>No backups in %1.</translation>
    </message>
    <message>
        <source>nicht lesbar</source>
        <translation>not readable</translation>
    </message>
    <message>
        <source>beschädigt</source>
        <translation>damaged</translation>
    </message>
    <message>
        <source>erste Sicherung dieses Gleistron</source>
        <translation>this Gleistron's first backup</translation>
    </message>
    <message>
        <source>keine Änderung</source>
        <translation>no change</translation>
    </message>
    <message>
        <source>Der Ordner %1 kann nicht angelegt werden.</source>
        <translation>The folder %1 cannot be created.</translation>
    </message>
    <message>
        <source>alle</source>
        <translation>all</translation>
    </message>
    <message>
        <source>Ältere Sicherung %1 entfernt.&lt;BR&gt;</source>
        <translation>Older backup %1 removed.&lt;BR&gt;</translation>
    </message>
    <message>
        <source>Lokomotive</source>
        <comment>counted</comment>
        <translation>locomotive</translation>
    </message>
    <message>
        <source>Lokomotiven</source>
        <comment>counted</comment>
        <translation>locomotives</translation>
    </message>
    <message>
        <source>Lokliste</source>
        <comment>counted</comment>
        <translation>locomotive list</translation>
    </message>
    <message>
        <source>Loklisten</source>
        <comment>counted</comment>
        <translation>locomotive lists</translation>
    </message>
    <message>
        <source>Block von Gleisplan 1</source>
        <comment>counted</comment>
        <translation>block of track plan 1</translation>
    </message>
    <message>
        <source>Blöcke von Gleisplan 1</source>
        <comment>counted</comment>
        <translation>blocks of track plan 1</translation>
    </message>
    <message>
        <source>Block von Gleisplan 2</source>
        <comment>counted</comment>
        <translation>block of track plan 2</translation>
    </message>
    <message>
        <source>Blöcke von Gleisplan 2</source>
        <comment>counted</comment>
        <translation>blocks of track plan 2</translation>
    </message>
    <message>
        <source>Block von Gleisplan 3</source>
        <comment>counted</comment>
        <translation>block of track plan 3</translation>
    </message>
    <message>
        <source>Blöcke von Gleisplan 3</source>
        <comment>counted</comment>
        <translation>blocks of track plan 3</translation>
    </message>
    <message>
        <source>Schaltartikel</source>
        <comment>counted</comment>
        <translation>switching articles</translation>
    </message>
    <message>
        <source>Rückmelder</source>
        <comment>counted</comment>
        <translation>feedback modules</translation>
    </message>
    <message>
        <source>Fahrstrasse</source>
        <comment>counted</comment>
        <translation>route</translation>
    </message>
    <message>
        <source>Fahrstrassen</source>
        <comment>counted</comment>
        <translation>routes</translation>
    </message>
    <message>
        <source>LSB-Gerät</source>
        <comment>counted</comment>
        <translation>LSB device</translation>
    </message>
    <message>
        <source>LSB-Geräte</source>
        <comment>counted</comment>
        <translation>LSB devices</translation>
    </message>
    <message>
        <source>HSB-Gerät</source>
        <comment>counted</comment>
        <translation>HSB device</translation>
    </message>
    <message>
        <source>HSB-Geräte</source>
        <comment>counted</comment>
        <translation>HSB devices</translation>
    </message>
    <message>
        <source>Systemkonfiguration</source>
        <comment>counted</comment>
        <translation>system configuration</translation>
    </message>
    <message>
        <source>S88-Konfiguration</source>
        <comment>counted</comment>
        <translation>S88 configuration</translation>
    </message>
    <message>
        <source>Lokbild</source>
        <comment>counted</comment>
        <translation>locomotive picture</translation>
    </message>
    <message>
        <source>Lokbilder</source>
        <comment>counted</comment>
        <translation>locomotive pictures</translation>
    </message>
    <message>
        <source>%1 %2 neu</source>
        <translation>%1 new %2</translation>
    </message>
    <message>
        <source>%1 %2 entfernt</source>
        <translation>%1 %2 removed</translation>
    </message>
    <message>
        <source>%1 %2 geändert</source>
        <translation>%1 %2 changed</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Das ist ein Test für die Übersetzung!</source>
        <translation>This is a test of the translation!</translation>
    </message>
    <message>
        <source>Einfaches Test</source>
        <translation>Simple test</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="de">
<context>
    <name>ByteCount</name>
    <message>
        <source>de_DE</source>
        <extracomment>The locale whose digit grouping byte counts use (1.234.567 in de_DE); give the translation&apos;s own, such as en_US</extracomment>
        <translation>en_US</translation>
    </message>
    <message>
        <source>1 Byte</source>
        <translation>1 byte</translation>
    </message>
    <message>
        <source>%1 Bytes</source>
        <extracomment>%1 is a number of bytes, more than one (or none)</extracomment>
        <translation>%1 bytes</translation>
    </message>
</context>
<context>
    <name>BytePattern</name>
    <message>
        <source>Kein Suchmuster.</source>
        <translation>No search pattern.</translation>
    </message>
    <message>
        <source>Ungültige Hex-Eingabe an Stelle %1.</source>
        <extracomment>%1 is the character position in the entry, counted from 1</extracomment>
        <translation>Invalid hex input at position %1.</translation>
    </message>
    <message>
        <source>Ein Muster nur aus ?? passt auf alles.</source>
        <extracomment>?? is a wildcard byte in a hex search pattern</extracomment>
        <translation>A pattern of nothing but ?? matches everything.</translation>
    </message>
    <message>
        <source>Das Zeichen „%1“ an Stelle %2 gibt es in Windows-1252 nicht.</source>
        <extracomment>%1 is a character, %2 its position in the entry, counted from 1</extracomment>
        <translation>The character “%1” at position %2 does not exist in Windows-1252.</translation>
    </message>
</context>
<context>
    <name>CaptureCommand</name>
    <message>
        <source>&amp;Mitschnitt …</source>
        <extracomment>Menu command: starts writing every received byte into a file (capture)</extracomment>
        <translation>&amp;Capture…</translation>
    </message>
    <message>
        <source>&amp;Mitschnitt beenden</source>
        <extracomment>Menu command: ends the capture into a file</extracomment>
        <translation>Stop &amp;capture</translation>
    </message>
    <message>
        <source>Mitschnitt speichern</source>
        <extracomment>File dialog title: where the capture goes</extracomment>
        <translation>Save capture</translation>
    </message>
    <message>
        <source>mitschnitt</source>
        <extracomment>Stem of the suggested file name (…-20261206-153012.bin): lower case, no blanks</extracomment>
        <translation>capture</translation>
    </message>
    <message>
        <source>Der Mitschnitt kann nicht in die Datei „%1“ geschrieben werden: %2.</source>
        <extracomment>Capture = every received byte written into a file; %1 the path, %2 the system&apos;s reason</extracomment>
        <translation>The capture cannot be written to the file “%1”: %2.</translation>
    </message>
    <message>
        <source>Der Mitschnitt in die Datei „%1“ ist beendet, weil sie nicht weiter geschrieben werden kann: %2. Die empfangenen Daten zeigt weiterhin das Fenster „Empfangene Daten“.</source>
        <extracomment>%1 is the path of the capture file, %2 the system&apos;s reason</extracomment>
        <translation>The capture to the file “%1” has ended because the file can no longer be written: %2. The “Received data” window still shows the received data.</translation>
    </message>
</context>
<context>
    <name>CharacterTable</name>
    <message>
        <source>Space</source>
        <extracomment>Name of the space character (code 32) in the character table</extracomment>
        <translation>Space</translation>
    </message>
</context>
<context>
    <name>CommErrorCatalog</name>
    <message>
        <source>Ungültige Verbindungseinstellungen „%1“: %2. Erwartet wird die Form „9600,N,8,1“.</source>
        <extracomment>%1 is the settings text as given, %2 what is wrong with it; 9600,N,8,1 is baud rate, parity letter, data bits, stop bits</extracomment>
        <translation>Invalid connection settings “%1”: %2. The expected form is “9600,N,8,1”.</translation>
    </message>
    <message>
        <source>Ungültige Portnummer %1: es gibt nur COM1 und COM2.</source>
        <translation>Invalid port number %1: there are only COM1 and COM2.</translation>
    </message>
    <message>
        <source>COM%1 ist geöffnet; der Port lässt sich nur wechseln, wenn die Verbindung getrennt ist.</source>
        <translation>COM%1 is open; the port can only be changed while disconnected.</translation>
    </message>
    <message>
        <source>Der serielle Port ist nicht geöffnet.</source>
        <translation>The serial port is not open.</translation>
    </message>
    <message>
        <source>COM%1 (%2) wird bereits von einem anderen Programm benutzt (%3).</source>
        <extracomment>%1 is the port number, %2 the device path, %3 the system&apos;s reason (e.g. who holds the device)</extracomment>
        <translation>COM%1 (%2) is already in use by another program (%3).</translation>
    </message>
    <message>
        <source>Für COM%1 wurde kein serielles Gerät gefunden. Schließen Sie ein Gerät an oder wählen Sie eines unter „Datei → Geräte zuordnen …“.</source>
        <extracomment>“Datei → Geräte zuordnen …” names the command Assign devices… in the File menu</extracomment>
        <translation>No serial device was found for COM%1. Connect a device or choose one under “File → Assign devices…”.</translation>
    </message>
    <message>
        <source>Das Gerät %2 für COM%1 existiert nicht (%3).</source>
        <extracomment>%1 is the port number, %2 the device path, %3 the system&apos;s reason</extracomment>
        <translation>The device %2 for COM%1 does not exist (%3).</translation>
    </message>
    <message>
        <source>Kein Zugriff auf das Gerät %2 für COM%1 (%3). Der Benutzer muss eventuell Mitglied der Gruppe „dialout“ sein.</source>
        <extracomment>%1 is the port number, %2 the device path, %3 the system&apos;s reason; “dialout” is the name of a Unix group and stays as it is</extracomment>
        <translation>No access to the device %2 for COM%1 (%3). The user may need to be a member of the group “dialout”.</translation>
    </message>
    <message>
        <source>%2 für COM%1 ist keine serielle Schnittstelle (%3).</source>
        <extracomment>%1 is the port number, %2 the device path, %3 the system&apos;s reason</extracomment>
        <translation>%2 for COM%1 is not a serial port (%3).</translation>
    </message>
    <message>
        <source>Der Treiber von %2 für COM%1 lehnt die Einstellung ab: %3.</source>
        <extracomment>%1 is the port number, %2 the device path, %3 the system&apos;s reason (which setting was refused, e.g. a baud rate)</extracomment>
        <translation>The driver of %2 for COM%1 rejects the setting: %3.</translation>
    </message>
    <message>
        <source>%1 (Einstellungen „%2“).</source>
        <extracomment>%1 is the reason (1.5 stop bits need 5 data bits), %2 the settings text such as 9600,N,8,1.5</extracomment>
        <translation>%1 (settings “%2”).</translation>
    </message>
    <message>
        <source>COM%1 (%2) konnte nicht geöffnet werden (%3).</source>
        <extracomment>%1 is the port number, %2 the device path, %3 the system&apos;s reason</extracomment>
        <translation>COM%1 (%2) could not be opened (%3).</translation>
    </message>
    <message>
        <source>Der Server %2 für COM%1 ist nicht zu finden (%3).</source>
        <extracomment>%1 is the port number, %2 the server address (rfc2217://HOST:PORT), %3 the reason</extracomment>
        <translation>The server %2 for COM%1 cannot be found (%3).</translation>
    </message>
    <message>
        <source>COM%1 (%2) konnte nicht verbunden werden (%3).</source>
        <extracomment>%1 is the port number, %2 the server address (rfc2217://HOST:PORT), %3 the reason</extracomment>
        <translation>COM%1 (%2) could not be connected (%3).</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Mehr dazu mit „tavel --help“.
</source>
        <translation>Try “tavel --help” for more information.
</translation>
    </message>
    <message>
        <source>tavel: --sprache braucht einen Wert: de oder en
</source>
        <translation>tavel: --sprache needs a value: de or en
</translation>
    </message>
    <message>
        <source>tavel: unbekannte Sprache „%1“ (de oder en)
</source>
        <translation>tavel: unknown language “%1” (de or en)
</translation>
    </message>
    <message>
        <source>tavel: unbekannte Option „%1“
</source>
        <translation>tavel: unknown option “%1”
</translation>
    </message>
    <message>
        <source>tavel: unerwartetes Argument „%1“
</source>
        <translation>tavel: unexpected argument “%1”
</translation>
    </message>
    <message>
        <source>Tavel %1
Lizenz: GPL-3.0-or-later &lt;https://www.gnu.org/licenses/gpl-3.0.html&gt;
Dies ist freie Software: Sie dürfen sie ändern und weitergeben.
Es gibt KEINE GARANTIE, soweit das Gesetz es zulässt.
</source>
        <translation>Tavel %1
License: GPL-3.0-or-later &lt;https://www.gnu.org/licenses/gpl-3.0.html&gt;
This is free software: you are free to change and redistribute it.
There is NO WARRANTY, to the extent permitted by law.
</translation>
    </message>
    <message>
        <source>  %1  Gerät für COM%2
</source>
        <extracomment>%1 is the name of an environment variable, COM%2 the port it sets.</extracomment>
        <translation>  %1  device for COM%2
</translation>
    </message>
    <message>
        <source>Aufruf: tavel [--help] [--version] [--sprache de|en]

Tavel ist ein serielles Terminal: Text und Hex-Bytes über COM1 oder COM2
senden und alles Empfangene als Text und Hex sehen.

Optionen:
  -h, --help        diese Hilfe zeigen und beenden
  -v, --version     die Version zeigen und beenden
  --sprache de|en   die Oberfläche auf Deutsch oder Englisch zeigen

Umgebungsvariablen:
</source>
        <extracomment>The option and variable names (--help, --sprache, TAVEL_SPRACHE) and the values de and en stay as they are.</extracomment>
        <translation>Usage: tavel [--help] [--version] [--sprache de|en]

Tavel is a serial terminal: send text and hex bytes over COM1 or COM2
and see everything received as text and as hex.

Options:
  -h, --help        show this help and exit
  -v, --version     show the version and exit
  --sprache de|en   show the interface in German or English

Environment variables:
</translation>
    </message>
    <message>
        <source>  Ohne sie gilt die Zuordnung aus „Datei → Geräte zuordnen …“; ohne diese
  stehen COM1 und COM2 für die ersten gefundenen seriellen Geräte.
  %1  de oder en, wie --sprache; die Option geht vor.
  Ohne beide ist die Oberfläche deutsch, wenn die Sprache des Systems
  Deutsch ist oder keine gesetzt ist (C, POSIX), sonst englisch.

Einstellungen:
  tavel.cfg liegt im Ordner des Programms, wenn dieser beschreibbar ist und
  kein Programmordner des Systems wie /usr/bin; sonst in
  $XDG_CONFIG_HOME/tavel/ (ohne XDG_CONFIG_HOME in ~/.config/tavel/).
  Die Gerätezuordnung liegt daneben in tavel-geraete.cfg.
</source>
        <translation>  Without them the assignment from “File → Assign devices…” applies; without
  that, COM1 and COM2 stand for the first serial devices found.
  %1  de or en, like --sprache; the option takes precedence.
  Without either, the interface is German when the system&apos;s language is
  German or none is set (C, POSIX), and English otherwise.

Settings:
  tavel.cfg is kept in the program&apos;s folder when that is writable and not
  a system program folder such as /usr/bin; otherwise in
  $XDG_CONFIG_HOME/tavel/ (without XDG_CONFIG_HOME in ~/.config/tavel/).
  The device assignment is kept beside it in tavel-geraete.cfg.
</translation>
    </message>
</context>
<context>
    <name>ConnectionChoices</name>
    <message>
        <source>Rechte Maustaste: Geräte zuordnen</source>
        <extracomment>Tool tip line of a port option: a right click opens the Assign devices dialog</extracomment>
        <translation>Right-click: Assign devices</translation>
    </message>
    <message>
        <source>aus %1</source>
        <extracomment>Where the port&apos;s device comes from: %1 is an environment variable (TAVEL_COM1)</extracomment>
        <translation>from %1</translation>
    </message>
    <message>
        <source>zugeordnet</source>
        <extracomment>Where the port&apos;s device comes from: the user assigned it</extracomment>
        <translation>assigned</translation>
    </message>
    <message>
        <source>gefundenes Gerät</source>
        <extracomment>Where the port&apos;s device comes from: the first device the system reports</extracomment>
        <translation>device found</translation>
    </message>
    <message>
        <source>Für COM%1 ist kein Gerät bekannt.
%2</source>
        <extracomment>Tool tip of a port option; %2 is the line about the right click</extracomment>
        <translation>No device is known for COM%1.
%2</translation>
    </message>
</context>
<context>
    <name>DeviceAssignment</name>
    <message>
        <source>Zeile %1 ist unverständlich: „%2“</source>
        <extracomment>A line of the device assignment file: %1 is its number, %2 the line itself</extracomment>
        <translation>line %1 cannot be understood: “%2”</translation>
    </message>
    <message>
        <source>COM%1 steht in Zeile %2 ein zweites Mal</source>
        <extracomment>%1 is the port number, %2 the line number in the device assignment file</extracomment>
        <translation>COM%1 appears a second time in line %2</translation>
    </message>
    <message>
        <source>Zeile %1: %2</source>
        <extracomment>%1 is the line number in the device assignment file, %2 what is wrong there</extracomment>
        <translation>line %1: %2</translation>
    </message>
    <message>
        <source>ein Gerätepfad steht auf einer Zeile und enthält kein Nullzeichen</source>
        <extracomment>The rule a device path breaks: it must fit on one line and hold no NUL character</extracomment>
        <translation>a device path must fit on one line and contain no null character</translation>
    </message>
    <message>
        <source>„%1“ beginnt oder endet mit Leerzeichen</source>
        <extracomment>%1 is a device path</extracomment>
        <translation>“%1” begins or ends with a space</translation>
    </message>
    <message>
        <source>„%1“ ist kein vollständiger Pfad (er beginnt nicht mit /)</source>
        <extracomment>%1 is a device path</extracomment>
        <translation>“%1” is not a full path (it does not begin with /)</translation>
    </message>
</context>
<context>
    <name>DeviceAssignmentDialog</name>
    <message>
        <source>nicht angeboten: Konsole des Systems</source>
        <extracomment>a device the dialog lists but does not offer for a port: the system&apos;s console</extracomment>
        <translation>not offered: system console</translation>
    </message>
    <message>
        <source>nicht angeboten: kein UART vorhanden</source>
        <extracomment>a device the dialog lists but does not offer: a legacy serial port without a chip</extracomment>
        <translation>not offered: no UART present</translation>
    </message>
    <message>
        <source>Geräte zuordnen</source>
        <translation>Assign devices</translation>
    </message>
    <message>
        <source>&amp;Gefundene Geräte:</source>
        <translation>&amp;Devices found:</translation>
    </message>
    <message>
        <source>Pfad</source>
        <extracomment>column header: the device&apos;s stable path</extracomment>
        <translation>Path</translation>
    </message>
    <message>
        <source>Gerätedatei</source>
        <extracomment>column header: the device&apos;s file under /dev</extracomment>
        <translation>Device file</translation>
    </message>
    <message>
        <source>Angaben</source>
        <extracomment>column header: what is known of the device (maker, model, who holds it)</extracomment>
        <translation>Details</translation>
    </message>
    <message>
        <source>Gefundene Geräte</source>
        <translation>Devices found</translation>
    </message>
    <message>
        <source>automatisch: ein gefundenes Gerät</source>
        <extracomment>placeholder of an empty box: the port then takes a device that was found</extracomment>
        <translation>automatic: a device that was found</translation>
    </message>
    <message>
        <source>Gerät für COM%1</source>
        <extracomment>%1 is the port&apos;s number</extracomment>
        <translation>Device for COM%1</translation>
    </message>
    <message>
        <source>Ein Gerätepfad oder ein Port im Netz: rfc2217://RECHNER:PORT oder tcp://RECHNER:PORT</source>
        <extracomment>RECHNER is a placeholder for a host name (HOST)</extracomment>
        <translation>A device path or a network port: rfc2217://HOST:PORT or tcp://HOST:PORT</translation>
    </message>
    <message>
        <source>COM&amp;%1:</source>
        <extracomment>%1 is the port&apos;s number, also its access key</extracomment>
        <translation>COM&amp;%1:</translation>
    </message>
    <message>
        <source>Noch keine gültige Adresse: %1.</source>
        <extracomment>%1 says what is wrong with the server address typed so far</extracomment>
        <translation>Not a valid address yet: %1.</translation>
    </message>
    <message>
        <source>%1 ist gesetzt und gilt vor dieser Wahl: %2</source>
        <extracomment>%1 is an environment variable&apos;s name, %2 the device path it sets</extracomment>
        <translation>%1 is set and takes precedence over this choice: %2</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>COM1 und COM2 können nicht dasselbe Gerät sein</source>
        <extracomment>a reason inside the sentence &quot;The device for COM%1 cannot be assigned like this: %2.&quot;</extracomment>
        <translation>COM1 and COM2 cannot be the same device</translation>
    </message>
    <message>
        <source>Das Gerät für COM%1 lässt sich so nicht zuordnen: %2.</source>
        <extracomment>%1 is the port&apos;s number, %2 the reason</extracomment>
        <translation>The device for COM%1 cannot be assigned like this: %2.</translation>
    </message>
</context>
<context>
    <name>DeviceAssignmentStore</name>
    <message>
        <source>Die Gerätezuordnung „%1“ kann nicht gelesen werden: %2. COM1 und COM2 stehen für die ersten gefundenen Geräte; die Datei bleibt, wie sie ist, bis Sie Geräte zuordnen, und wird dann als „%3“ aufbewahrt.</source>
        <extracomment>%1 is the path of the device assignment file, %2 the reason, %3 the path of the backup copy</extracomment>
        <translation>The device assignment “%1” cannot be read: %2. COM1 and COM2 stand for the first devices found; the file stays as it is until you assign devices, and is then kept as “%3”.</translation>
    </message>
    <message>
        <source>Die Gerätezuordnung „%1“ ist beschädigt: %2. COM1 und COM2 stehen für die ersten gefundenen Geräte; die Datei bleibt, wie sie ist, bis Sie Geräte zuordnen, und wird dann als „%3“ aufbewahrt.</source>
        <extracomment>%1 is the path of the device assignment file, %2 what is wrong in it, %3 the path of the backup copy</extracomment>
        <translation>The device assignment “%1” is damaged: %2. COM1 and COM2 stand for the first devices found; the file stays as it is until you assign devices, and is then kept as “%3”.</translation>
    </message>
    <message>
        <source>Die Gerätezuordnung „%1“ kann nicht geschrieben werden: %2. Die Zuordnung gilt bis zum Ende dieser Sitzung.</source>
        <extracomment>%1 is the path of the device assignment file, %2 the system&apos;s reason</extracomment>
        <translation>The device assignment “%1” cannot be written: %2. The assignment applies until the end of this session.</translation>
    </message>
</context>
<context>
    <name>DeviceHolder</name>
    <message>
        <source>belegt</source>
        <extracomment>Why a device cannot be opened: another process holds (locks) it</extracomment>
        <translation>in use</translation>
    </message>
    <message>
        <source>belegt (PID %1)</source>
        <extracomment>Why a device cannot be opened: it is held (locked) by another process, whose process ID is %1</extracomment>
        <translation>in use (PID %1)</translation>
    </message>
    <message>
        <source>belegt von %1 (PID %2)</source>
        <extracomment>Held by another process: %1 is the program&apos;s name, %2 its process ID</extracomment>
        <translation>in use by %1 (PID %2)</translation>
    </message>
</context>
<context>
    <name>DeviceLineDriver</name>
    <message>
        <source>vom Treiber nicht unterstützt</source>
        <extracomment>Why the modem control lines cannot be read or set</extracomment>
        <translation>not supported by the driver</translation>
    </message>
    <message>
        <source>Einstellungen nicht lesbar (%1)</source>
        <extracomment>The device&apos;s line settings (termios) cannot be read; %1 is the system&apos;s reason</extracomment>
        <translation>settings cannot be read (%1)</translation>
    </message>
    <message>
        <source>Flusssteuerung „%1“ nicht einstellbar (%2)</source>
        <extracomment>%1 is the flow control (keine, RTS/CTS, XON/XOFF), %2 the system&apos;s reason</extracomment>
        <translation>flow control “%1” cannot be set (%2)</translation>
    </message>
    <message>
        <source>Flusssteuerung „%1“ nicht übernommen</source>
        <extracomment>The driver did not take the setting; %1 is the flow control (keine, RTS/CTS, XON/XOFF)</extracomment>
        <translation>flow control “%1” was not applied</translation>
    </message>
</context>
<context>
    <name>DeviceList</name>
    <message>
        <source>Seriennummer %1</source>
        <extracomment>Part of a device&apos;s description; %1 is the USB serial number</extracomment>
        <translation>serial number %1</translation>
    </message>
</context>
<context>
    <name>DeviceSetup</name>
    <message>
        <source>Baudrate %1 nicht einstellbar (%2)</source>
        <extracomment>%1 is the baud rate, %2 the system&apos;s reason</extracomment>
        <translation>baud rate %1 cannot be set (%2)</translation>
    </message>
    <message>
        <source>Baudrate %1 nicht übernommen, der Treiber meldet %2</source>
        <extracomment>%1 is the baud rate asked for, %2 the rate the driver reports instead</extracomment>
        <translation>baud rate %1 was not applied; the driver reports %2</translation>
    </message>
    <message>
        <source>%1 Datenbits nicht einstellbar (%2)</source>
        <extracomment>%1 is the number of data bits, %2 the system&apos;s reason</extracomment>
        <translation>%1 data bits cannot be set (%2)</translation>
    </message>
    <message>
        <source>Parität „%1“ nicht einstellbar (%2)</source>
        <extracomment>%1 is the parity word (keine, gerade, ungerade, Mark, Space; translated on its own), %2 the system&apos;s reason</extracomment>
        <translation>parity “%1” cannot be set (%2)</translation>
    </message>
    <message>
        <source>Stopbits %1 nicht einstellbar (%2)</source>
        <extracomment>%1 is the number of stop bits (1, 1.5, 2), %2 the system&apos;s reason</extracomment>
        <translation>stop bits %1 cannot be set (%2)</translation>
    </message>
    <message>
        <source>Einstellungen nicht lesbar (%1)</source>
        <extracomment>The device&apos;s line settings (termios) cannot be read; %1 is the system&apos;s reason</extracomment>
        <translation>settings cannot be read (%1)</translation>
    </message>
    <message>
        <source>%1 Datenbits nicht übernommen</source>
        <extracomment>The driver did not take the setting; %1 is the number of data bits</extracomment>
        <translation>%1 data bits were not applied</translation>
    </message>
    <message>
        <source>Parität „%1“ nicht übernommen</source>
        <extracomment>The driver did not take the setting; %1 is the parity word (keine, gerade, ungerade, Mark, Space; translated on its own)</extracomment>
        <translation>parity “%1” was not applied</translation>
    </message>
    <message>
        <source>langes Stopbit nicht übernommen</source>
        <extracomment>The driver did not take the setting of more than one stop bit</extracomment>
        <translation>more than one stop bit was not applied</translation>
    </message>
</context>
<context>
    <name>ErrorReport</name>
    <message>
        <source>Fehler %1 wurde ausgelöst von %2</source>
        <extracomment>%1 is the error number with a blank or minus sign before it, %2 where the error was raised (a name such as &quot;MSComm1&quot;)</extracomment>
        <translation>Error %1 was raised by %2</translation>
    </message>
    <message>
        <source>Fehler</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>FileSendWindow</name>
    <message>
        <source>Restzeit wird ermittelt …</source>
        <translation>Estimating time left…</translation>
    </message>
    <message>
        <source>angehalten: CTS ist aus</source>
        <extracomment>The file send is paused because the far end turned CTS off.</extracomment>
        <translation>paused: CTS is off</translation>
    </message>
    <message>
        <source>angehalten: die Gegenstelle hat XOFF gesendet</source>
        <extracomment>The file send is paused because the far end sent XOFF.</extracomment>
        <translation>paused: the other end sent XOFF</translation>
    </message>
    <message>
        <source>Datei senden</source>
        <translation>Send file</translation>
    </message>
    <message>
        <source>Gesendete Datei</source>
        <translation>File being sent</translation>
    </message>
    <message>
        <source>Gesendete Bytes</source>
        <translation>Bytes sent</translation>
    </message>
    <message>
        <source>Übertragungsrate und Restzeit</source>
        <translation>Transfer rate and time left</translation>
    </message>
    <message>
        <source>Das Gerät ist nicht mehr erreichbar: %1 wurden gesendet.</source>
        <extracomment>%1 is the count of bytes sent, as &quot;%1 von %2 Bytes&quot;.</extracomment>
        <translation>The device can no longer be reached: %1 were sent.</translation>
    </message>
    <message>
        <source>&amp;Schließen</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>Schließen</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>FrmAblaeufe</name>
    <message>
        <source>angehalten</source>
        <extracomment>State of an answering rule: answering is switched off for all rules</extracomment>
        <translation>paused</translation>
    </message>
    <message>
        <source>wartet</source>
        <extracomment>State of an answering rule: it watches the received data for its pattern</extracomment>
        <translation>waiting</translation>
    </message>
    <message>
        <source>beantwortet</source>
        <extracomment>State of a rule that answers once: it has answered and is done</extracomment>
        <translation>answered</translation>
    </message>
    <message>
        <source>gebremst</source>
        <extracomment>State of a rule stopped for answering too often within a second</extracomment>
        <translation>throttled</translation>
    </message>
    <message>
        <source>aus</source>
        <extracomment>State of a rule that is not active</extracomment>
        <translation>off</translation>
    </message>
    <message>
        <source>Abläufe</source>
        <extracomment>Window title: what runs by itself on the open port (repeats and answering rules)
----------
Accessible name of the pages: what runs by itself on the open port</extracomment>
        <translation>Routines</translation>
    </message>
    <message>
        <source>Die Taste „%1“ hat keine Daten zum Senden.</source>
        <extracomment>%1 is the caption of an automation button</extracomment>
        <translation>The button “%1” has no data to send.</translation>
    </message>
    <message>
        <source>&amp;Stopp</source>
        <extracomment>Stops the repeat of this row; shares its access key with &quot;&amp;Start&quot;</extracomment>
        <translation>&amp;Stop</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>%1: %2 gesendet</source>
        <extracomment>Accessible name: %1 is the button caption, %2 how many times its commands were sent</extracomment>
        <translation>%1: %2 sent</translation>
    </message>
    <message>
        <source>%1: %2 übersprungen</source>
        <extracomment>Accessible name: %1 is the button caption, %2 how many sends were skipped</extracomment>
        <translation>%1: %2 skipped</translation>
    </message>
    <message>
        <source>%1: alle</source>
        <extracomment>Accessible name of the interval box: %1 is the button caption, then &quot;every&quot; (… ms)</extracomment>
        <translation>%1: every</translation>
    </message>
    <message>
        <source>%1: Anzahl</source>
        <extracomment>Accessible name of the box for how many times to send: %1 is the button caption</extracomment>
        <translation>%1: count</translation>
    </message>
    <message>
        <source>Taste %1: %2</source>
        <extracomment>%1 is the automation button&apos;s number, %2 its caption</extracomment>
        <translation>Button %1: %2</translation>
    </message>
    <message>
        <source>Die aktiven Regeln antworten, solange die Verbindung besteht.</source>
        <translation>The active rules answer while the connection lasts.</translation>
    </message>
    <message>
        <source>Angehalten: keine Regel antwortet.</source>
        <translation>Paused: no rule answers.</translation>
    </message>
    <message>
        <source>Taste</source>
        <extracomment>Column heading: the automation button</extracomment>
        <translation>Button</translation>
    </message>
    <message>
        <source>Abstand</source>
        <extracomment>Column heading: the time between two sends</extracomment>
        <translation>Interval</translation>
    </message>
    <message>
        <source>Anzahl</source>
        <extracomment>Column heading: how many times the commands are sent</extracomment>
        <translation>Count</translation>
    </message>
    <message>
        <source>Gesendet</source>
        <extracomment>Column heading: how many times the commands were sent</extracomment>
        <translation>Sent</translation>
    </message>
    <message>
        <source>Übersprungen</source>
        <extracomment>Column heading: how many sends were skipped</extracomment>
        <translation>Skipped</translation>
    </message>
    <message>
        <source>alle </source>
        <extracomment>Prefix of the interval box: &quot;every 1000 ms&quot;</extracomment>
        <translation>every </translation>
    </message>
    <message>
        <source>ohne Ende</source>
        <extracomment>Shown in the count box for 0: the commands repeat until stopped</extracomment>
        <translation>unlimited</translation>
    </message>
    <message>
        <source>Alle st&amp;oppen</source>
        <translation>St&amp;op all</translation>
    </message>
    <message>
        <source>Antworten &amp;ein</source>
        <extracomment>Checkable button: while checked, the answering rules answer</extracomment>
        <translation>Answ&amp;ers on</translation>
    </message>
    <message>
        <source>Muster</source>
        <extracomment>Column heading: what a rule watches the received data for</extracomment>
        <translation>Pattern</translation>
    </message>
    <message>
        <source>Antwort</source>
        <extracomment>Column heading: what the rule sends when its pattern is found</extracomment>
        <translation>Answer</translation>
    </message>
    <message>
        <source>Verzögerung</source>
        <extracomment>Column heading: time before the answer is sent</extracomment>
        <translation>Delay</translation>
    </message>
    <message>
        <source>Wie oft</source>
        <extracomment>Column heading: every time or once</extracomment>
        <translation>How often</translation>
    </message>
    <message>
        <source>Aktiv</source>
        <extracomment>Column heading: whether the rule is active</extracomment>
        <translation>Active</translation>
    </message>
    <message>
        <source>Treffer</source>
        <extracomment>Column heading: how many times the rule answered (matches answered)</extracomment>
        <translation>Hits</translation>
    </message>
    <message>
        <source>Zustand</source>
        <extracomment>Column heading: the rule&apos;s current state (waiting, answered, …)</extracomment>
        <translation>State</translation>
    </message>
    <message>
        <source>Regeln</source>
        <translation>Rules</translation>
    </message>
    <message>
        <source>&amp;Neu</source>
        <extracomment>Starts a new answering rule</extracomment>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>Ü&amp;bernehmen</source>
        <extracomment>Keeps the rule as entered in the fields</extracomment>
        <translation>App&amp;ly</translation>
    </message>
    <message>
        <source>&amp;Löschen</source>
        <extracomment>Deletes the selected rule</extracomment>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>Regel neu sta&amp;rten</source>
        <extracomment>Lets a rule that is done or throttled watch again</extracomment>
        <translation>Restart r&amp;ule</translation>
    </message>
    <message>
        <source>&amp;Wiederholen</source>
        <extracomment>Page of repeated sends</extracomment>
        <translation>&amp;Repeat</translation>
    </message>
    <message>
        <source>&amp;Antworten</source>
        <extracomment>Page of the rules that answer patterns in the received data</extracomment>
        <translation>&amp;Answers</translation>
    </message>
    <message>
        <source>Seiten</source>
        <extracomment>Accessible name of the tab bar</extracomment>
        <translation>Pages</translation>
    </message>
    <message>
        <source>S&amp;chließen</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>ja</source>
        <extracomment>Column &quot;Active&quot;: the rule is active (the other answer is &quot;nein&quot;)</extracomment>
        <translation>yes</translation>
    </message>
    <message>
        <source>nein</source>
        <translation>no</translation>
    </message>
</context>
<context>
    <name>FrmEingabe</name>
    <message>
        <source>Eingabefenster</source>
        <translation>Input window</translation>
    </message>
    <message>
        <source>Farmatfehler bei der Hexwerteingabe</source>
        <extracomment>&quot;Farmatfehler&quot; is a deliberate misspelling of &quot;Formatfehler&quot; (format error) that must stay in the German text.</extracomment>
        <translation>Format error in the hex input</translation>
    </message>
    <message>
        <source>Format</source>
        <extracomment>Caption of the row choosing how the entry is written: as text or in hex.</extracomment>
        <translation>Format</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Format Text</source>
        <translation>Text format</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>Format Hex</source>
        <translation>Hex format</translation>
    </message>
    <message>
        <source>Hexwerte zweistellig und mit Leerzeichen getrennt eingeben</source>
        <translation>Enter hex values as two digits separated by spaces</translation>
    </message>
    <message>
        <source>Eingabe als Text</source>
        <translation>Input as text</translation>
    </message>
    <message>
        <source>Eingabe als Hexwerte</source>
        <translation>Input as hex values</translation>
    </message>
    <message>
        <source>S&amp;onderzeichen</source>
        <translation>S&amp;pecial characters</translation>
    </message>
    <message>
        <source>Sonderzeichen</source>
        <translation>Special characters</translation>
    </message>
    <message>
        <source>&amp;Einfügen</source>
        <translation>I&amp;nsert</translation>
    </message>
    <message>
        <source>Se&amp;nden</source>
        <translation>&amp;Send</translation>
    </message>
    <message>
        <source>&amp;Löschen</source>
        <extracomment>Clears both entries.</extracomment>
        <translation>C&amp;lear</translation>
    </message>
    <message>
        <source>&amp;Schließen</source>
        <translation>&amp;Close</translation>
    </message>
</context>
<context>
    <name>FrmEinstellungen</name>
    <message>
        <source>Einstellungen</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>COM%1 wird von einem anderen Gerät benutzt und steht nicht zur Verfügung.</source>
        <translation>COM%1 is being used by another device and is not available.</translation>
    </message>
    <message>
        <source>Serieller Port-Fehler</source>
        <translation>Serial port error</translation>
    </message>
    <message>
        <source>Parität, Datenbits und Stopbits müssen gewählt sein.</source>
        <extracomment>Parity, data bits and stop bits are the serial line settings</extracomment>
        <translation>Parity, data bits and stop bits must be selected.</translation>
    </message>
    <message>
        <source>Baudrate</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>&amp;Datenbits</source>
        <extracomment>serial line setting</extracomment>
        <translation>&amp;Data bits</translation>
    </message>
    <message>
        <source>Datenbits</source>
        <extracomment>serial line setting; accessible name of the group, followed by an option&apos;s caption</extracomment>
        <translation>Data bits</translation>
    </message>
    <message>
        <source>&amp;Parität</source>
        <extracomment>serial line setting</extracomment>
        <translation>&amp;Parity</translation>
    </message>
    <message>
        <source>Parität</source>
        <extracomment>serial line setting; accessible name of the group, followed by an option&apos;s caption</extracomment>
        <translation>Parity</translation>
    </message>
    <message>
        <source>Verbindungsanzeige: nicht verbunden</source>
        <extracomment>the connection indicator, a grey ball</extracomment>
        <translation>Connection indicator: not connected</translation>
    </message>
    <message>
        <source>Verbindungsanzeige: verbunden</source>
        <extracomment>the connection indicator, a red ball</extracomment>
        <translation>Connection indicator: connected</translation>
    </message>
    <message>
        <source>&amp;Stopbits</source>
        <extracomment>serial line setting</extracomment>
        <translation>&amp;Stop bits</translation>
    </message>
    <message>
        <source>Stopbits</source>
        <extracomment>serial line setting; accessible name of the group, followed by an option&apos;s caption</extracomment>
        <translation>Stop bits</translation>
    </message>
    <message>
        <source>&amp;COM-Port</source>
        <translation>C&amp;OM port</translation>
    </message>
    <message>
        <source>COM-Port</source>
        <translation>COM port</translation>
    </message>
    <message>
        <source>Verbindung &amp;herstellen</source>
        <translation>&amp;Connect</translation>
    </message>
    <message>
        <source>Verbindung &amp;trennen</source>
        <translation>Disco&amp;nnect</translation>
    </message>
    <message>
        <source>Schließe&amp;n</source>
        <translation>Clos&amp;e</translation>
    </message>
</context>
<context>
    <name>FrmEmpfang</name>
    <message>
        <source>Empfangene Daten</source>
        <translation>Received data</translation>
    </message>
    <message>
        <source>Empfangsfenster &amp;löschen</source>
        <translation>C&amp;lear received data</translation>
    </message>
    <message>
        <source>Empfangen um %1 (Byte %2)</source>
        <extracomment>Tool tip over a received byte: %1 is the time of day it arrived, %2 its number counted from 1.</extracomment>
        <translation>Received at %1 (byte %2)</translation>
    </message>
</context>
<context>
    <name>FrmInfo</name>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Titel</source>
        <extracomment>Accessible description of the line with the program&apos;s title.</extracomment>
        <translation>Title</translation>
    </message>
    <message>
        <source>Trennlinie</source>
        <translation>Separator line</translation>
    </message>
    <message>
        <source>Ein Terminal für die serielle Schnittstelle</source>
        <translation>A terminal for the serial port</translation>
    </message>
    <message>
        <source>Hinweis</source>
        <extracomment>Accessible description of the line saying what the program is.</extracomment>
        <translation>Note</translation>
    </message>
    <message>
        <source>Webadresse</source>
        <translation>Web address</translation>
    </message>
    <message>
        <source>Mailadresse</source>
        <translation>Email address</translation>
    </message>
</context>
<context>
    <name>FrmLeitungen</name>
    <message>
        <source>Leitungen</source>
        <extracomment>The window of the modem control lines (DTR, RTS, CTS, DSR, DCD, RI).</extracomment>
        <translation>Lines</translation>
    </message>
    <message>
        <source>Nicht verbunden.</source>
        <translation>Not connected.</translation>
    </message>
    <message>
        <source>Steuerleitungen nicht verfügbar: %1.</source>
        <extracomment>%1 is the reason the driver gives.</extracomment>
        <translation>Control lines not available: %1.</translation>
    </message>
    <message>
        <source>Bei RTS/CTS setzt der Treiber RTS selbst.</source>
        <translation>With RTS/CTS the driver sets RTS itself.</translation>
    </message>
    <message>
        <source>Ohne Flusssteuerung verbunden: %1.</source>
        <extracomment>%1 is the reason the driver refused the chosen flow control.</extracomment>
        <translation>Connected without flow control: %1.</translation>
    </message>
    <message>
        <source>Break nicht möglich: %1.</source>
        <extracomment>A BREAK signal on the serial line; %1 is the reason the driver gives.</extracomment>
        <translation>Break not possible: %1.</translation>
    </message>
    <message>
        <source>&amp;keine</source>
        <extracomment>No flow control.</extracomment>
        <translation>&amp;None</translation>
    </message>
    <message>
        <source>RTS/&amp;CTS</source>
        <translation>RTS/&amp;CTS</translation>
    </message>
    <message>
        <source>&amp;XON/XOFF</source>
        <translation>&amp;XON/XOFF</translation>
    </message>
    <message>
        <source>Leitungen jetzt</source>
        <extracomment>The control lines as they are now.</extracomment>
        <translation>Lines now</translation>
    </message>
    <message>
        <source>&amp;Break senden</source>
        <translation>Send &amp;break</translation>
    </message>
    <message>
        <source>Da&amp;uer:</source>
        <extracomment>Length of the BREAK.</extracomment>
        <translation>D&amp;uration:</translation>
    </message>
    <message>
        <source>Dauer des Breaks</source>
        <translation>Break duration</translation>
    </message>
    <message>
        <source>Einstellungen für:</source>
        <extracomment>Followed by the port choices COM1, COM2.</extracomment>
        <translation>Settings for:</translation>
    </message>
    <message>
        <source>Einstellungen für</source>
        <translation>Settings for</translation>
    </message>
    <message>
        <source>Flusssteuerung</source>
        <translation>Flow control</translation>
    </message>
    <message>
        <source>Beim Öffnen</source>
        <extracomment>When the port is opened.</extracomment>
        <translation>When opening</translation>
    </message>
    <message>
        <source>DTR beim &amp;Öffnen:</source>
        <translation>DTR when &amp;opening:</translation>
    </message>
    <message>
        <source>RTS beim Ö&amp;ffnen:</source>
        <translation>RTS when o&amp;pening:</translation>
    </message>
    <message>
        <source>DTR nach dem Trennen ein &amp;lassen</source>
        <extracomment>Leave DTR on after the port is closed (disconnect).</extracomment>
        <translation>&amp;Leave DTR on after disconnecting</translation>
    </message>
    <message>
        <source>DTR nach dem Trennen ein lassen</source>
        <translation>Leave DTR on after disconnecting</translation>
    </message>
    <message>
        <source>&amp;Schließen</source>
        <translation>Clo&amp;se</translation>
    </message>
</context>
<context>
    <name>FrmSendefenster</name>
    <message>
        <source>Gesendete Daten</source>
        <translation>Sent data</translation>
    </message>
    <message>
        <source>Sendefenster &amp;löschen</source>
        <translation>C&amp;lear sent data</translation>
    </message>
</context>
<context>
    <name>LineChoices</name>
    <message>
        <source>keine</source>
        <extracomment>Flow control: none (the word shown in the Lines window and in error messages)</extracomment>
        <translation>none</translation>
    </message>
    <message>
        <source>ein</source>
        <extracomment>Level of a control line: on</extracomment>
        <translation>on</translation>
    </message>
    <message>
        <source>aus</source>
        <extracomment>Level of a control line: off</extracomment>
        <translation>off</translation>
    </message>
</context>
<context>
    <name>LineLamp</name>
    <message>
        <source>unbekannt</source>
        <extracomment>State of a control line that cannot be read.</extracomment>
        <translation>unknown</translation>
    </message>
</context>
<context>
    <name>LineSettings</name>
    <message>
        <source>%1 fehlt</source>
        <extracomment>%1 names a piece of the settings text (baud rate, parity, data bits, stop bits)</extracomment>
        <translation>%1 is missing</translation>
    </message>
    <message>
        <source>%1 „%2“ ist nicht erlaubt (erlaubt: %3)</source>
        <extracomment>%1 names a piece of the settings text (baud rate, parity, data bits, stop bits), %2 is the piece as given, %3 the list of allowed values</extracomment>
        <translation>%1 “%2” is not allowed (allowed: %3)</translation>
    </message>
    <message>
        <source>erwartet werden vier durch Kommas getrennte Angaben, gefunden %1</source>
        <extracomment>The settings text such as 9600,N,8,1 must have four pieces; %1 is how many it has</extracomment>
        <translation>four values separated by commas are expected, found %1</translation>
    </message>
    <message>
        <source>Baudrate</source>
        <extracomment>Name of a piece of the settings text, inside a sentence: &quot;%1 fehlt&quot; (%1 is missing)</extracomment>
        <translation>baud rate</translation>
    </message>
    <message>
        <source>Parität</source>
        <extracomment>Name of a piece of the settings text, inside a sentence: &quot;%1 fehlt&quot; (%1 is missing)</extracomment>
        <translation>parity</translation>
    </message>
    <message>
        <source>Datenbits</source>
        <extracomment>Name of a piece of the settings text, inside a sentence: &quot;%1 fehlt&quot; (%1 is missing)</extracomment>
        <translation>data bits</translation>
    </message>
    <message>
        <source>Stopbits</source>
        <extracomment>Name of a piece of the settings text, inside a sentence: &quot;%1 fehlt&quot; (%1 is missing)</extracomment>
        <translation>stop bits</translation>
    </message>
    <message>
        <source>1,5 Stopbits sind nur mit 5 Datenbits möglich</source>
        <extracomment>1.5 stop bits, written with the language&apos;s decimal separator</extracomment>
        <translation>1.5 stop bits are only possible with 5 data bits</translation>
    </message>
    <message>
        <source>Keine</source>
        <extracomment>Parity option in the settings window: no parity bit</extracomment>
        <translation>None</translation>
    </message>
    <message>
        <source>keine</source>
        <extracomment>Parity in the status bar (&quot;Einstellungen: …, keine Parität, …&quot;) and in error messages (&quot;Parität „keine“ nicht übernommen&quot;): no parity bit</extracomment>
        <translation>none</translation>
    </message>
    <message>
        <source>Gerade</source>
        <extracomment>Parity option in the settings window: even parity</extracomment>
        <translation>Even</translation>
    </message>
    <message>
        <source>gerade</source>
        <extracomment>Parity in the status bar and in error messages: even parity</extracomment>
        <translation>even</translation>
    </message>
    <message>
        <source>Ungerade</source>
        <extracomment>Parity option in the settings window: odd parity</extracomment>
        <translation>Odd</translation>
    </message>
    <message>
        <source>ungerade</source>
        <extracomment>Parity in the status bar and in error messages: odd parity</extracomment>
        <translation>odd</translation>
    </message>
    <message>
        <source>Mark</source>
        <extracomment>Parity: mark parity (option in the settings window, word in the status bar and in error messages)</extracomment>
        <translation>Mark</translation>
    </message>
    <message>
        <source>Space</source>
        <extracomment>Parity: space parity (option in the settings window, word in the status bar and in error messages)</extracomment>
        <translation>Space</translation>
    </message>
    <message>
        <source>1,5</source>
        <extracomment>Stop bits option in the settings window: one and a half stop bits, with the language&apos;s decimal separator</extracomment>
        <translation>1.5</translation>
    </message>
</context>
<context>
    <name>LinesCommand</name>
    <message>
        <source>COM%1 ist ohne die gewählte Flusssteuerung verbunden: %2.</source>
        <extracomment>%1 is the port number, %2 the driver&apos;s reason</extracomment>
        <translation>COM%1 is connected without the chosen flow control: %2.</translation>
    </message>
</context>
<context>
    <name>LinesSettings</name>
    <message>
        <source>Zeile %1 ist unverständlich: „%2“</source>
        <extracomment>A line of the Lines window&apos;s settings file: %1 is its number, %2 the line itself</extracomment>
        <translation>line %1 cannot be understood: “%2”</translation>
    </message>
    <message>
        <source>„%1“ steht in Zeile %2 ein zweites Mal</source>
        <extracomment>%1 is a key of the settings file, %2 the line number</extracomment>
        <translation>“%1” appears a second time in line %2</translation>
    </message>
</context>
<context>
    <name>LinesSettingsStore</name>
    <message>
        <source>Die Leitungseinstellungen „%1“ können nicht gelesen werden: %2. Es gelten die Voreinstellungen; die Datei bleibt, wie sie ist, bis Sie etwas ändern, und wird dann als „%3“ aufbewahrt.</source>
        <extracomment>Leitungseinstellungen: the settings file of the Lines window (modem control lines). %1 is the file path, %2 the reason, %3 the path of the backup copy</extracomment>
        <translation>The line settings “%1” cannot be read: %2. The defaults apply; the file stays as it is until you change something, and is then kept as “%3”.</translation>
    </message>
    <message>
        <source>Die Leitungseinstellungen „%1“ sind beschädigt: %2. Es gelten die Voreinstellungen; die Datei bleibt, wie sie ist, bis Sie etwas ändern, und wird dann als „%3“ aufbewahrt.</source>
        <extracomment>%1 is the file path of the Lines window&apos;s settings, %2 what is wrong in it, %3 the path of the backup copy</extracomment>
        <translation>The line settings “%1” are damaged: %2. The defaults apply; the file stays as it is until you change something, and is then kept as “%3”.</translation>
    </message>
    <message>
        <source>Die Leitungseinstellungen „%1“ können nicht geschrieben werden: %2. Sie gelten bis zum Ende dieser Sitzung.</source>
        <extracomment>%1 is the file path of the Lines window&apos;s settings, %2 the system&apos;s reason</extracomment>
        <translation>The line settings “%1” cannot be written: %2. They apply until the end of this session.</translation>
    </message>
</context>
<context>
    <name>MDITavel</name>
    <message>
        <source>Menüleiste</source>
        <translation>Menu bar</translation>
    </message>
    <message>
        <source>&amp;Datei</source>
        <extracomment>Menu; its access key must differ from those of the other menu bar entries</extracomment>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Gesendete Daten speichern</source>
        <translation>Save &amp;sent data</translation>
    </message>
    <message>
        <source>&amp;Empfangene Daten speichern</source>
        <translation>Save &amp;received data</translation>
    </message>
    <message>
        <source>Einstellungen &amp;speichern</source>
        <translation>Save se&amp;ttings</translation>
    </message>
    <message>
        <source>&amp;Datei senden</source>
        <translation>Send &amp;file</translation>
    </message>
    <message>
        <source>Geräte &amp;zuordnen …</source>
        <extracomment>Opens the dialog that says which device COM1 and COM2 stand for</extracomment>
        <translation>&amp;Assign devices…</translation>
    </message>
    <message>
        <source>&amp;Beenden</source>
        <extracomment>Quits the program</extracomment>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>Fenster</source>
        <extracomment>Menu of the windows; deliberately without an access key</extracomment>
        <translation>Window</translation>
    </message>
    <message>
        <source>&amp;Eingabefenster</source>
        <translation>&amp;Input window</translation>
    </message>
    <message>
        <source>&amp;Gesendete Daten</source>
        <translation>&amp;Sent data</translation>
    </message>
    <message>
        <source>Empfangene &amp;Daten</source>
        <translation>&amp;Received data</translation>
    </message>
    <message>
        <source>Ei&amp;nstellungen</source>
        <translation>S&amp;ettings</translation>
    </message>
    <message>
        <source>&amp;Automatisierung</source>
        <translation>&amp;Automation</translation>
    </message>
    <message>
        <source>&amp;Leitungen</source>
        <extracomment>The window of the modem control lines</extracomment>
        <translation>&amp;Lines</translation>
    </message>
    <message>
        <source>A&amp;bläufe</source>
        <extracomment>The window of what runs by itself on the open port (repeats, answering rules)</extracomment>
        <translation>R&amp;outines</translation>
    </message>
    <message>
        <source>&amp;Info</source>
        <extracomment>Menu bar command that opens the info window</extracomment>
        <translation>&amp;Info</translation>
    </message>
    <message>
        <source>Arbeitsbereich</source>
        <extracomment>Accessible name of the area that holds the child windows</extracomment>
        <translation>Workspace</translation>
    </message>
    <message>
        <source>Es wurde kein freier COM-Port gefunden, das Programm kann nicht ausgeführt werden.</source>
        <translation>No free COM port was found; the program cannot run.</translation>
    </message>
    <message>
        <source>Serielles Problem</source>
        <translation>Serial problem</translation>
    </message>
    <message>
        <source>Es steht nur COM%1 zur Verfügung</source>
        <extracomment>%1 is the port number (1 or 2)</extracomment>
        <translation>Only COM%1 is available</translation>
    </message>
    <message>
        <source>Serieller Port-Test</source>
        <translation>Serial port test</translation>
    </message>
    <message>
        <source>Datenverlust</source>
        <extracomment>The port&apos;s input buffer overflowed: received bytes were lost</extracomment>
        <translation>Data loss</translation>
    </message>
</context>
<context>
    <name>MainWindowPlace</name>
    <message>
        <source>Die Fensterposition „%1“ kann nicht geschrieben werden: %2.</source>
        <extracomment>%1 is the path of the file that keeps the main window&apos;s place, %2 the system&apos;s reason</extracomment>
        <translation>The window position file “%1” cannot be written: %2.</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>Es besteht keine serielle Verbindung.</source>
        <translation>There is no serial connection.</translation>
    </message>
    <message>
        <source>Die Datei „%1“ wird noch %2. Eine weitere Datei kann erst %2 werden, wenn sie fertig ist oder abgebrochen wurde.</source>
        <extracomment>%1 is a file name, %2 the participle of the work: &quot;sent&quot; or &quot;saved&quot;</extracomment>
        <translation>The file “%1” is still being %2. Another file can only be %2 once this one has finished or been canceled.</translation>
    </message>
    <message>
        <source>die Verbindung trennen</source>
        <extracomment>completes &quot;Cancel sending and %3?&quot;</extracomment>
        <translation>disconnect</translation>
    </message>
    <message>
        <source>neu verbinden</source>
        <extracomment>completes &quot;Cancel sending and %3?&quot;</extracomment>
        <translation>reconnect</translation>
    </message>
    <message>
        <source>Tavel beenden</source>
        <extracomment>completes &quot;Cancel sending and %3?&quot;; Tavel is the program&apos;s name</extracomment>
        <translation>exit Tavel</translation>
    </message>
    <message>
        <source>Die Datei „%1“ ist erst zu %2 % gesendet. Senden abbrechen und %3?</source>
        <extracomment>%1 is a file name, %2 the percentage sent so far, %3 what happens next: &quot;disconnect&quot;, &quot;reconnect&quot; or &quot;exit Tavel&quot;</extracomment>
        <translation>Only %2% of the file “%1” has been sent. Cancel sending and %3?</translation>
    </message>
    <message>
        <source>Die Datei „%1“ ist noch nicht ganz %2 (%3 %). Trotzdem %4?</source>
        <extracomment>%1 is a file name, %2 the participle of the work (&quot;saved&quot;), %3 the percentage done, %4 the verb of what a Yes does, in lower case: &quot;cancel&quot; or &quot;exit&quot;</extracomment>
        <translation>The file “%1” has not been completely %2 yet (%3%). Do you want to %4 anyway?</translation>
    </message>
</context>
<context>
    <name>NetworkAddress</name>
    <message>
        <source>„%1“ beginnt weder mit rfc2217:// noch mit tcp://</source>
        <translation>“%1” begins with neither rfc2217:// nor tcp://</translation>
    </message>
    <message>
        <source>in „%1“ fehlt der Port (HOST:PORT)</source>
        <extracomment>%1 is the server address as entered; HOST:PORT shows the expected form</extracomment>
        <translation>the port is missing in “%1” (HOST:PORT)</translation>
    </message>
    <message>
        <source>der Port in „%1“ ist keine Zahl von 1 bis 65535</source>
        <translation>the port in “%1” is not a number from 1 to 65535</translation>
    </message>
    <message>
        <source>„%1“ ist keine IPv6-Adresse</source>
        <translation>“%1” is not an IPv6 address</translation>
    </message>
    <message>
        <source>„%1“ ist kein Rechnername und keine Adresse</source>
        <translation>“%1” is neither a host name nor an address</translation>
    </message>
</context>
<context>
    <name>NetworkPort</name>
    <message>
        <source>der Server antwortet nicht auf die Com-Port-Option von RFC 2217</source>
        <extracomment>The Telnet COM-PORT-OPTION of RFC 2217, which carries the serial settings</extracomment>
        <translation>the server does not respond to the RFC 2217 COM port option</translation>
    </message>
    <message>
        <source>der Server antwortet nicht innerhalb von %1 Sekunden</source>
        <extracomment>%1 is a number of seconds (more than one)</extracomment>
        <translation>the server does not respond within %1 seconds</translation>
    </message>
    <message>
        <source>der Rechnername „%1“ ist nicht bekannt</source>
        <extracomment>%1 is the server&apos;s host name</extracomment>
        <translation>the host name “%1” is not known</translation>
    </message>
    <message>
        <source>der Server lehnt die Com-Port-Option von RFC 2217 ab</source>
        <extracomment>The Telnet COM-PORT-OPTION of RFC 2217, which carries the serial settings</extracomment>
        <translation>the server rejects the RFC 2217 COM port option</translation>
    </message>
    <message>
        <source>der Server hat die Verbindung beendet: „%1“</source>
        <extracomment>%1 is what the server sent before it closed the connection</extracomment>
        <translation>the server closed the connection: “%1”</translation>
    </message>
    <message>
        <source>der Server hat die Verbindung beendet</source>
        <translation>the server closed the connection</translation>
    </message>
</context>
<context>
    <name>OpenFailure</name>
    <message>
        <source>keine Gerätedatei; %1</source>
        <extracomment>The path is no device node (a plain file, a folder); %1 is the system&apos;s reason</extracomment>
        <translation>not a device file; %1</translation>
    </message>
</context>
<context>
    <name>ProgressWindow</name>
    <message>
        <source>Datei „%1“</source>
        <extracomment>%1 is the file&apos;s name.</extracomment>
        <translation>File “%1”</translation>
    </message>
    <message>
        <source>Fortschritt</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>&amp;Abbrechen</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>%1 von %2 Bytes</source>
        <extracomment>%1 bytes done of %2 in all.</extracomment>
        <translation>%1 of %2 bytes</translation>
    </message>
</context>
<context>
    <name>RawTcpLineDriver</name>
    <message>
        <source>eine rohe TCP-Verbindung trägt nur die Daten, keine Leitungen</source>
        <extracomment>Why the modem control lines (Leitungen) are unknown on a raw TCP connection</extracomment>
        <translation>a raw TCP connection carries only the data, no lines</translation>
    </message>
</context>
<context>
    <name>RemoteLineDriver</name>
    <message>
        <source>der Server bestätigt DTR und RTS nicht</source>
        <extracomment>Why the modem control lines of a port on a serial server are unknown</extracomment>
        <translation>the server does not confirm DTR and RTS</translation>
    </message>
</context>
<context>
    <name>ReplugCommand</name>
    <message>
        <source>Als die Verbindung über COM%1 abbrach, waren %2 noch nicht gesendet. Sie wurden verworfen, damit sie nicht an ein anderes Gerät gehen.</source>
        <extracomment>%1 is the port number, %2 an amount of bytes such as 12 Bytes</extracomment>
        <translation>When the connection via COM%1 was lost, %2 had not been sent yet. They were discarded so that they do not go to another device.</translation>
    </message>
</context>
<context>
    <name>RoutinesCommand</name>
    <message>
        <source>Die Verbindung ist beendet. Die Wiederholungen und Antworten der Abläufe sind angehalten und laufen erst wieder, wenn Sie sie im Fenster „Abläufe“ starten.</source>
        <extracomment>&quot;Abläufe&quot; = Routines, the window of repeats and answering rules</extracomment>
        <translation>The connection has ended. The repeats and answers of the routines are paused and run again only when you start them in the “Routines” window.</translation>
    </message>
</context>
<context>
    <name>RoutinesSettings</name>
    <message>
        <source>„%1“</source>
        <extracomment>Quotes around a line or entry from the file in a message</extracomment>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>„%1…“</source>
        <extracomment>Quotes around the cut-off beginning of a long line or entry in a message</extracomment>
        <translation>“%1…”</translation>
    </message>
    <message>
        <source>das Muster %1 wird nicht angenommen: %2</source>
        <extracomment>Part of a message, lower case at the start; %1 is the quoted pattern, %2 the reason</extracomment>
        <translation>the pattern %1 is not accepted: %2</translation>
    </message>
    <message>
        <source>Ungültige Hex-Eingabe an Stelle %1</source>
        <extracomment>%1 is the position of the first wrong character</extracomment>
        <translation>invalid hex input at position %1</translation>
    </message>
    <message>
        <source>Keine Daten</source>
        <translation>no data</translation>
    </message>
    <message>
        <source>die Antwort %1 wird nicht angenommen: %2</source>
        <extracomment>Part of a message, lower case at the start; %1 is the quoted answer data, %2 the reason</extracomment>
        <translation>the answer %1 is not accepted: %2</translation>
    </message>
    <message>
        <source>„%1“ ist keine Taste von 1 bis %2</source>
        <extracomment>Part of a message; %1 is a button number, %2 the number of buttons</extracomment>
        <translation>“%1” is not a button from 1 to %2</translation>
    </message>
    <message>
        <source>„%1“ ist keine Verzögerung von 0 bis %2 ms</source>
        <extracomment>Part of a message; %1 is the delay given, %2 the longest delay in ms</extracomment>
        <translation>“%1” is not a delay from 0 to %2 ms</translation>
    </message>
    <message>
        <source>die Regeln brauchen zusammen mehr als %1 KiB</source>
        <extracomment>Part of a message, lower case at the start; %1 is a size in KiB</extracomment>
        <translation>the rules together need more than %1 KiB</translation>
    </message>
    <message>
        <source>Zeile %1: %2</source>
        <extracomment>%1 is a line number of tavel-ablaeufe.cfg, %2 what is wrong with the line</extracomment>
        <translation>line %1: %2</translation>
    </message>
    <message>
        <source>Zeile %1 ist unverständlich: %2</source>
        <translation>line %1 cannot be understood: %2</translation>
    </message>
    <message>
        <source>%1 steht in Zeile %2 ein zweites Mal</source>
        <extracomment>%1 is a quoted key of tavel-ablaeufe.cfg, %2 a line number</extracomment>
        <translation>%1 appears a second time in line %2</translation>
    </message>
    <message>
        <source>%1 ist keine Wiederholzeit von %2 bis %3 ms</source>
        <extracomment>%1 is the quoted value, %2 and %3 the shortest and longest interval in ms</extracomment>
        <translation>%1 is not a repeat interval from %2 to %3 ms</translation>
    </message>
    <message>
        <source>%1 ist keine Anzahl von 0 bis %2</source>
        <extracomment>%1 is the quoted value, %2 the largest count</extracomment>
        <translation>%1 is not a count from 0 to %2</translation>
    </message>
    <message>
        <source>mehr als %1 Regeln</source>
        <translation>more than %1 rules</translation>
    </message>
    <message>
        <source>%1 ist keine Taste von 1 bis %2</source>
        <extracomment>%1 is the quoted value, %2 the number of buttons</extracomment>
        <translation>%1 is not a button from 1 to %2</translation>
    </message>
    <message>
        <source>ein Muster beginnt mit „Text:“ oder „Hex:“</source>
        <extracomment>Part of a message; &quot;Text:&quot; and &quot;Hex:&quot; are words of the file, keep them</extracomment>
        <translation>a pattern begins with “Text:” or “Hex:”</translation>
    </message>
    <message>
        <source>eine Antwort beginnt mit „Taste:“, „Text:“ oder „Hex:“</source>
        <translation>an answer begins with “Taste:”, “Text:” or “Hex:”</translation>
    </message>
    <message>
        <source>„%1“ ist keine der Folgen mit Backslash (\\, \r, \n, \t, \xHH)</source>
        <extracomment>Part of a message; %1 is what follows a backslash in the file; keep the sequences as they are</extracomment>
        <translation>“%1” is none of the backslash sequences (\\, \r, \n, \t, \xHH)</translation>
    </message>
    <message>
        <source>%1 ist keine Verzögerung von 0 bis %2 ms</source>
        <extracomment>%1 is the quoted value, %2 the longest delay in ms</extracomment>
        <translation>%1 is not a delay from 0 to %2 ms</translation>
    </message>
    <message>
        <source>%1 ist weder „%2“ noch „%3“</source>
        <extracomment>%1 is the quoted value, %2 and %3 the two words the file allows</extracomment>
        <translation>%1 is neither “%2” nor “%3”</translation>
    </message>
    <message>
        <source>Zeile %1: </source>
        <extracomment>Start of a message; %1 is a line number of tavel-ablaeufe.cfg</extracomment>
        <translation>line %1: </translation>
    </message>
    <message>
        <source>Regel %1 folgt ohne Regel %2</source>
        <translation>rule %1 follows without rule %2</translation>
    </message>
    <message>
        <source>Regel %1 hat kein Muster</source>
        <translation>rule %1 has no pattern</translation>
    </message>
    <message>
        <source>Regel %1 hat keine Antwort</source>
        <translation>rule %1 has no answer</translation>
    </message>
    <message>
        <source>Regel %1: %2</source>
        <extracomment>%1 is the rule&apos;s number, %2 why it cannot be kept</extracomment>
        <translation>Rule %1: %2</translation>
    </message>
</context>
<context>
    <name>RoutinesSettingsStore</name>
    <message>
        <source>Die Abläufe „%1“ können nicht gelesen werden: %2. Es gelten die Voreinstellungen; die Datei bleibt, wie sie ist, bis Sie etwas ändern, und wird dann als „%3“ aufbewahrt.</source>
        <extracomment>&quot;Abläufe&quot; = the routines file; %1 its path, %2 the system&apos;s reason, %3 the backup&apos;s path</extracomment>
        <translation>The routines file “%1” cannot be read: %2. The defaults apply; the file stays as it is until you change something, and is then kept as “%3”.</translation>
    </message>
    <message>
        <source>Die Abläufe „%1“ sind beschädigt: %2. Es gelten die Voreinstellungen; die Datei bleibt, wie sie ist, bis Sie etwas ändern, und wird dann als „%3“ aufbewahrt.</source>
        <extracomment>&quot;Abläufe&quot; = the routines file; %1 its path, %2 what is wrong, %3 the backup&apos;s path</extracomment>
        <translation>The routines file “%1” is damaged: %2. The defaults apply; the file stays as it is until you change something, and is then kept as “%3”.</translation>
    </message>
    <message>
        <source>Die Abläufe „%1“ können nicht geschrieben werden: %2. Sie gelten bis zum Ende dieser Sitzung.</source>
        <extracomment>&quot;Abläufe&quot; = the routines file; %1 its path, %2 the system&apos;s reason</extracomment>
        <translation>The routines file “%1” cannot be written: %2. The routines apply until the end of this session.</translation>
    </message>
</context>
<context>
    <name>RuleEditor</name>
    <message>
        <source>Text</source>
        <extracomment>Notation of an entry: as text (shown, not the file&apos;s &quot;Text:&quot; token)</extracomment>
        <translation>Text</translation>
    </message>
    <message>
        <source>Hex</source>
        <extracomment>Notation of an entry: in hex notation</extracomment>
        <translation>Hex</translation>
    </message>
    <message>
        <source>Schreibweise des Musters</source>
        <extracomment>Accessible name: text or hex notation of the pattern</extracomment>
        <translation>Pattern notation</translation>
    </message>
    <message>
        <source>Muster</source>
        <extracomment>What the rule watches the received data for</extracomment>
        <translation>Pattern</translation>
    </message>
    <message>
        <source>Antwort</source>
        <extracomment>What the rule sends when its pattern is found</extracomment>
        <translation>Answer</translation>
    </message>
    <message>
        <source>Schreibweise der eigenen Daten</source>
        <extracomment>Accessible name: text or hex notation of the rule&apos;s own data</extracomment>
        <translation>Custom data notation</translation>
    </message>
    <message>
        <source>Eigene Daten</source>
        <extracomment>Data of the rule&apos;s own that it sends instead of a button&apos;s commands</extracomment>
        <translation>Custom data</translation>
    </message>
    <message>
        <source>Verzögerung</source>
        <translation>Delay</translation>
    </message>
    <message>
        <source>Wie oft</source>
        <translation>How often</translation>
    </message>
    <message>
        <source>a&amp;ktiv</source>
        <extracomment>Check box: whether the rule answers at all</extracomment>
        <translation>Acti&amp;ve</translation>
    </message>
    <message>
        <source>aktiv</source>
        <translation>Active</translation>
    </message>
    <message>
        <source>&amp;Muster:</source>
        <translation>&amp;Pattern:</translation>
    </message>
    <message>
        <source>An&amp;twort:</source>
        <translation>Ans&amp;wer:</translation>
    </message>
    <message>
        <source>Ei&amp;gene Daten:</source>
        <translation>Custom da&amp;ta:</translation>
    </message>
    <message>
        <source>Wie o&amp;ft:</source>
        <translation>&amp;How often:</translation>
    </message>
    <message>
        <source>&amp;Verzögerung:</source>
        <translation>Dela&amp;y:</translation>
    </message>
    <message>
        <source>Taste %1: %2</source>
        <extracomment>%1 is the automation button&apos;s number, %2 its caption</extracomment>
        <translation>Button %1: %2</translation>
    </message>
    <message>
        <source>jedes Mal</source>
        <extracomment>How often a rule answers (shown only; the file keeps its own word)</extracomment>
        <translation>every time</translation>
    </message>
    <message>
        <source>einmal</source>
        <translation>once</translation>
    </message>
</context>
<context>
    <name>SafeFile</name>
    <message>
        <source>keine gewöhnliche Datei</source>
        <extracomment>the reason why a file of the program&apos;s own cannot be read: a pipe or a device stands in its place</extracomment>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>die alte Datei lässt sich nicht nach „%1“ verschieben (%2)</source>
        <extracomment>a reason inside a sentence; %1 is the backup path, %2 the system&apos;s reason</extracomment>
        <translation>the old file cannot be moved to “%1” (%2)</translation>
    </message>
</context>
<context>
    <name>SaveCommands</name>
    <message>
        <source>Empfangene Daten speichern</source>
        <extracomment>File dialog and progress window title</extracomment>
        <translation>Save received data</translation>
    </message>
    <message>
        <source>empfangen</source>
        <extracomment>Stem of the suggested file name (…-20261206-153012.bin): lower case, no blanks</extracomment>
        <translation>received</translation>
    </message>
    <message>
        <source>Gesendete Daten speichern</source>
        <extracomment>File dialog and progress window title</extracomment>
        <translation>Save sent data</translation>
    </message>
    <message>
        <source>gespeichert</source>
        <extracomment>Participle put into &quot;The file “%1” is still being %2. …&quot;</extracomment>
        <translation>saved</translation>
    </message>
    <message>
        <source>Die Datei „%1“ kann nicht geschrieben werden: %2. Eine vorhandene Datei dieses Namens ist unverändert.</source>
        <extracomment>%1 is the path, %2 the system&apos;s reason</extracomment>
        <translation>The file “%1” cannot be written: %2. An existing file of this name is unchanged.</translation>
    </message>
    <message>
        <source>beenden</source>
        <extracomment>What a Yes does, put into &quot;Do you want to %4 anyway?&quot;: exit the program</extracomment>
        <translation>exit</translation>
    </message>
    <message>
        <source>gesendet</source>
        <extracomment>Stem of the suggested file name (…-20261206-153012.bin): lower case, no blanks</extracomment>
        <translation>sent</translation>
    </message>
</context>
<context>
    <name>SaveForms</name>
    <message>
        <source>Rohdaten</source>
        <extracomment>a file type in the save dialog&apos;s filter</extracomment>
        <translation>Raw data</translation>
    </message>
    <message>
        <source>Hexdarstellung</source>
        <extracomment>a file type in the save dialog&apos;s filter: the bytes in hex notation</extracomment>
        <translation>Hex view</translation>
    </message>
    <message>
        <source>Hexdarstellung mit Zeitstempeln</source>
        <extracomment>a file type in the save dialog&apos;s filter: the bytes in hex notation, a timestamp per line</extracomment>
        <translation>Hex view with timestamps</translation>
    </message>
</context>
<context>
    <name>SaveProgressWindow</name>
    <message>
        <source>Gespeicherte Datei</source>
        <translation>File being saved</translation>
    </message>
    <message>
        <source>Gespeicherte Bytes</source>
        <translation>Bytes saved</translation>
    </message>
</context>
<context>
    <name>SearchDialog</name>
    <message>
        <source>Suchen</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>&amp;Suchen nach:</source>
        <translation>&amp;Find what:</translation>
    </message>
    <message>
        <source>Suchen nach</source>
        <translation>Find what</translation>
    </message>
    <message>
        <source>&amp;Text</source>
        <extracomment>Look for the entry as text.</extracomment>
        <translation>&amp;Text</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>&amp;Hex</source>
        <extracomment>Look for the entry as hex byte values.</extracomment>
        <translation>&amp;Hex</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>&amp;Groß-/Kleinschreibung beachten</source>
        <translation>Match &amp;case</translation>
    </message>
    <message>
        <source>Groß-/Kleinschreibung beachten</source>
        <translation>Match case</translation>
    </message>
    <message>
        <source>Treffer 33.554.432 von 33.554.432 …</source>
        <extracomment>Only measured, never shown: the widest result line, as WindowSearch&apos;s &quot;Treffer %1 von %2%3&quot; with the largest counts.</extracomment>
        <translation>Hit 33,554,432 of 33,554,432 …</translation>
    </message>
    <message>
        <source>&amp;Weitersuchen</source>
        <translation>Find &amp;next</translation>
    </message>
    <message>
        <source>Weitersuchen</source>
        <translation>Find next</translation>
    </message>
    <message>
        <source>&amp;Vorheriges</source>
        <extracomment>Go to the previous match.</extracomment>
        <translation>&amp;Previous</translation>
    </message>
    <message>
        <source>Vorheriges</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>Alle &amp;markieren</source>
        <extracomment>Highlight every match.</extracomment>
        <translation>&amp;Mark all</translation>
    </message>
    <message>
        <source>Alle markieren</source>
        <translation>Mark all</translation>
    </message>
    <message>
        <source>Schließen</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>SendFileCommand</name>
    <message>
        <source>gesendet</source>
        <extracomment>Participle put into &quot;The file “%1” is still being %2. …&quot;</extracomment>
        <translation>sent</translation>
    </message>
    <message>
        <source>Datei senden</source>
        <extracomment>File dialog title</extracomment>
        <translation>Send file</translation>
    </message>
</context>
<context>
    <name>SendFileReader</name>
    <message>
        <source>Die Datei „%1“ kann nicht gelesen werden: %2</source>
        <extracomment>%1 is the file&apos;s path, %2 the system&apos;s reason</extracomment>
        <translation>The file “%1” cannot be read: %2</translation>
    </message>
    <message>
        <source>Die Datei „%1“ ist mit %2 Bytes zu groß zum Senden: es stehen nur %3 Bytes Arbeitsspeicher zur Verfügung.</source>
        <extracomment>%1 is the file&apos;s path, %2 its size, %3 the free memory, both in bytes</extracomment>
        <translation>The file “%1” is too large to send at %2 bytes: only %3 bytes of memory are available.</translation>
    </message>
    <message>
        <source>eine benannte Pipe (FIFO)</source>
        <extracomment>completes &quot;The file … cannot be sent: it is %2.&quot;</extracomment>
        <translation>a named pipe (FIFO)</translation>
    </message>
    <message>
        <source>eine Gerätedatei</source>
        <extracomment>completes &quot;The file … cannot be sent: it is %2.&quot;</extracomment>
        <translation>a device file</translation>
    </message>
    <message>
        <source>ein Socket</source>
        <extracomment>completes &quot;The file … cannot be sent: it is %2.&quot;</extracomment>
        <translation>a socket</translation>
    </message>
    <message>
        <source>keine gewöhnliche Datei</source>
        <extracomment>completes &quot;The file … cannot be sent: it is %2.&quot;</extracomment>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>Die Datei „%1“ kann nicht gesendet werden: sie ist %2.</source>
        <extracomment>%1 is the file&apos;s path, %2 the kind of file, e.g. &quot;a named pipe (FIFO)&quot;</extracomment>
        <translation>The file “%1” cannot be sent: it is %2.</translation>
    </message>
</context>
<context>
    <name>SettingsFile</name>
    <message>
        <source>Feld %1 enthält keine gültige Zahl und wurde als 0 gelesen.</source>
        <extracomment>%1 is the number of a field of the settings file</extracomment>
        <translation>Field %1 does not contain a valid number and was read as 0.</translation>
    </message>
    <message>
        <source>Die Felder %1 und %2 enthalten keine gültige Zahl und wurden als 0 gelesen.</source>
        <extracomment>%1 is a list of field numbers (&quot;3, 7&quot;), %2 the last field number</extracomment>
        <translation>Fields %1 and %2 do not contain a valid number and were read as 0.</translation>
    </message>
    <message>
        <source>Die Datei enthält Nullbytes und ist keine Textdatei.</source>
        <translation>The file contains null bytes and is not a text file.</translation>
    </message>
    <message>
        <source>Die Datei endet mitten in Feld %1 von %2, das schließende Anführungszeichen fehlt.</source>
        <extracomment>%1 is the field&apos;s number, %2 the number of fields the file should have</extracomment>
        <translation>The file ends in the middle of field %1 of %2; the closing quotation mark is missing.</translation>
    </message>
    <message>
        <source>Die Datei ist leer.</source>
        <translation>The file is empty.</translation>
    </message>
    <message>
        <source>Die Datei endet nach Feld %1 von %2.</source>
        <extracomment>%1 is the last field&apos;s number, %2 the number of fields the file should have</extracomment>
        <translation>The file ends after field %1 of %2.</translation>
    </message>
</context>
<context>
    <name>SettingsStore</name>
    <message>
        <source>Die Einstellungsdatei „%1“ kann nicht gelesen werden: %2. Es gelten die Standardeinstellungen; beim Beenden wird die Datei als „%3“ aufbewahrt.</source>
        <extracomment>%1 is the path of tavel.cfg, %2 the system&apos;s reason, %3 the path of its backup</extracomment>
        <translation>The settings file “%1” cannot be read: %2. The default settings apply; on exit the file will be kept as “%3”.</translation>
    </message>
    <message>
        <source>Die Einstellungsdatei „%1“ ist beschädigt. %2 Was lesbar war, wurde übernommen; beim Beenden wird die alte Datei als „%3“ aufbewahrt.</source>
        <extracomment>%1 is the path of tavel.cfg, %2 sentences that say what is wrong with it, %3 the path of its backup</extracomment>
        <translation>The settings file “%1” is damaged. %2 What could be read has been applied; on exit the old file will be kept as “%3”.</translation>
    </message>
    <message>
        <source>Die Einstellungsdatei „%1“ kann nicht geschrieben werden: %2. Die Einstellungen dieser Sitzung wurden nicht gespeichert.</source>
        <extracomment>%1 is the path of tavel.cfg, %2 the system&apos;s reason</extracomment>
        <translation>The settings file “%1” cannot be written: %2. The settings of this session have not been saved.</translation>
    </message>
</context>
<context>
    <name>SmallTextFile</name>
    <message>
        <source>die Datei ist mit %1 Bytes zu groß</source>
        <extracomment>%1 is the file&apos;s size in bytes</extracomment>
        <translation>the file is too large at %1 bytes</translation>
    </message>
    <message>
        <source>die Datei ist kein UTF-8-Text</source>
        <translation>the file is not UTF-8 text</translation>
    </message>
</context>
<context>
    <name>StatusBar</name>
    <message>
        <source>Verbindungseinstellungen</source>
        <translation>Connection settings</translation>
    </message>
    <message>
        <source>Verbindungsstatus</source>
        <translation>Connection status</translation>
    </message>
    <message>
        <source>Statusleiste</source>
        <translation>Status bar</translation>
    </message>
</context>
<context>
    <name>StatusTexts</name>
    <message>
        <source>Einstellungen: %1 Baud, %2 Datenbits, %3 Parität, %4 Stopbit</source>
        <extracomment>Status bar: %1 is the baud rate, %2 the data bits (5 to 8), %3 the parity word (keine, gerade, ungerade, Mark, Space; translated on its own), %4 the stop bits (1, 1.5 or 2)</extracomment>
        <translation>Settings: %1 baud, %2 data bits, parity %3, stop bits %4</translation>
    </message>
    <message>
        <source>Serielle Verbindung über COM%1</source>
        <extracomment>Status bar: %1 is the port number</extracomment>
        <translation>Serial connection via COM%1</translation>
    </message>
    <message>
        <source>Einstellungen </source>
        <extracomment>Status bar panel of the line settings before the first connection (with a trailing blank)</extracomment>
        <translation>Settings </translation>
    </message>
    <message>
        <source>Einstellungen</source>
        <extracomment>Status bar panel of the line settings once a connection was closed</extracomment>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Keine serielle Verbindung</source>
        <translation>No serial connection</translation>
    </message>
    <message>
        <source>Verbindung über COM%1 unterbrochen – warte auf das Gerät</source>
        <extracomment>Status bar: the device went away and Tavel waits for it to come back; %1 is the port number</extracomment>
        <translation>Connection via COM%1 interrupted – waiting for the device</translation>
    </message>
    <message>
        <source>Server: %1</source>
        <extracomment>Tool tip: %1 is the address of a serial server</extracomment>
        <translation>Server: %1</translation>
    </message>
    <message>
        <source>Server: %1 (RFC 2217)</source>
        <extracomment>Tool tip: %1 is the serial server&apos;s HOST:PORT</extracomment>
        <translation>Server: %1 (RFC 2217)</translation>
    </message>
    <message>
        <source>Server: %1 (rohes TCP: die Einstellungen gelten nur hier, nicht am Port des Servers; die Leitungen sind unbekannt)</source>
        <extracomment>Tool tip: %1 is the server&apos;s HOST:PORT. Raw TCP carries only data: the line settings are not sent to the server&apos;s serial port, and the modem control lines (Leitungen) are unknown</extracomment>
        <translation>Server: %1 (raw TCP: the settings apply only here, not at the server&apos;s port; the lines are unknown)</translation>
    </message>
    <message>
        <source>Verbindung über COM%1 wird hergestellt …</source>
        <extracomment>Status bar: a serial server is being connected; %1 is the port number</extracomment>
        <translation>Connecting via COM%1…</translation>
    </message>
    <message>
        <source>Gerät: %1</source>
        <extracomment>Tool tip: %1 is the device path</extracomment>
        <translation>Device: %1</translation>
    </message>
    <message>
        <source>Gerät: %1 (%2)</source>
        <extracomment>Tool tip: %1 is the device path as configured (a link), %2 the device it leads to</extracomment>
        <translation>Device: %1 (%2)</translation>
    </message>
    <message>
        <source>Warte auf den Server %1</source>
        <extracomment>Tool tip: %1 is the server address</extracomment>
        <translation>Waiting for the server %1</translation>
    </message>
    <message>
        <source>Warte auf das Gerät %1</source>
        <extracomment>Tool tip: %1 is the device path</extracomment>
        <translation>Waiting for the device %1</translation>
    </message>
</context>
<context>
    <name>SystemError</name>
    <message>
        <source>Zugriff verweigert</source>
        <translation>Permission denied</translation>
    </message>
    <message>
        <source>Vorgang nicht erlaubt</source>
        <translation>Operation not permitted</translation>
    </message>
    <message>
        <source>Datei oder Verzeichnis nicht gefunden</source>
        <translation>No such file or directory</translation>
    </message>
    <message>
        <source>Ist kein Verzeichnis</source>
        <translation>Not a directory</translation>
    </message>
    <message>
        <source>Ist ein Verzeichnis</source>
        <translation>Is a directory</translation>
    </message>
    <message>
        <source>Datei existiert bereits</source>
        <translation>File already exists</translation>
    </message>
    <message>
        <source>Zu viele Ebenen symbolischer Verknüpfungen</source>
        <translation>Too many levels of symbolic links</translation>
    </message>
    <message>
        <source>Dateiname zu lang</source>
        <translation>File name too long</translation>
    </message>
    <message>
        <source>Kein Platz mehr auf dem Gerät</source>
        <translation>No space left on device</translation>
    </message>
    <message>
        <source>Speicherkontingent überschritten</source>
        <translation>Disk quota exceeded</translation>
    </message>
    <message>
        <source>Datei zu groß</source>
        <translation>File too large</translation>
    </message>
    <message>
        <source>Dateisystem ist schreibgeschützt</source>
        <translation>Read-only file system</translation>
    </message>
    <message>
        <source>Programmdatei wird gerade ausgeführt</source>
        <translation>Program file is currently running</translation>
    </message>
    <message>
        <source>Gerät oder Ressource belegt</source>
        <translation>Device or resource busy</translation>
    </message>
    <message>
        <source>Ein-/Ausgabefehler</source>
        <translation>Input/output error</translation>
    </message>
    <message>
        <source>Gerät nicht vorhanden oder nicht erreichbar</source>
        <translation>Device not present or not reachable</translation>
    </message>
    <message>
        <source>Kein passendes Gerät vorhanden</source>
        <translation>No suitable device present</translation>
    </message>
    <message>
        <source>Kein Terminalgerät</source>
        <translation>Not a terminal device</translation>
    </message>
    <message>
        <source>Ressource vorübergehend nicht verfügbar</source>
        <translation>Resource temporarily unavailable</translation>
    </message>
    <message>
        <source>Ungültiger Wert</source>
        <translation>Invalid value</translation>
    </message>
    <message>
        <source>Datei ist nicht geöffnet</source>
        <translation>File is not open</translation>
    </message>
    <message>
        <source>Zu viele offene Dateien</source>
        <translation>Too many open files</translation>
    </message>
    <message>
        <source>Zu viele offene Dateien im System</source>
        <translation>Too many open files in the system</translation>
    </message>
    <message>
        <source>Nicht genügend Arbeitsspeicher</source>
        <translation>Not enough memory</translation>
    </message>
    <message>
        <source>Verbindung abgelehnt</source>
        <translation>Connection refused</translation>
    </message>
    <message>
        <source>Verbindung vom Gegenüber zurückgesetzt</source>
        <translation>Connection reset by peer</translation>
    </message>
    <message>
        <source>Zeitüberschreitung der Verbindung</source>
        <translation>Connection timed out</translation>
    </message>
    <message>
        <source>Keine Route zum Zielrechner</source>
        <translation>No route to host</translation>
    </message>
    <message>
        <source>Netzwerk ist nicht erreichbar</source>
        <translation>Network is unreachable</translation>
    </message>
    <message>
        <source>Die angeforderte Adresse kann nicht zugewiesen werden</source>
        <translation>The requested address cannot be assigned</translation>
    </message>
    <message>
        <source>Verbindung unterbrochen</source>
        <translation>Connection broken</translation>
    </message>
    <message>
        <source>Lesefehler</source>
        <translation>Read error</translation>
    </message>
    <message>
        <source>Schreibfehler</source>
        <translation>Write error</translation>
    </message>
    <message>
        <source>Datei lässt sich nicht öffnen</source>
        <translation>File cannot be opened</translation>
    </message>
    <message>
        <source>Nicht genügend Ressourcen</source>
        <translation>Not enough resources</translation>
    </message>
    <message>
        <source>Vorgang abgebrochen</source>
        <translation>Operation canceled</translation>
    </message>
    <message>
        <source>Zeitüberschreitung</source>
        <translation>Timeout</translation>
    </message>
    <message>
        <source>Datei lässt sich nicht entfernen</source>
        <translation>File cannot be removed</translation>
    </message>
    <message>
        <source>Datei lässt sich nicht umbenennen</source>
        <translation>File cannot be renamed</translation>
    </message>
    <message>
        <source>Position in der Datei nicht erreichbar</source>
        <translation>Position in the file cannot be reached</translation>
    </message>
    <message>
        <source>Dateigröße lässt sich nicht ändern</source>
        <translation>File size cannot be changed</translation>
    </message>
    <message>
        <source>Zugriffsrechte lassen sich nicht ändern</source>
        <translation>Permissions cannot be changed</translation>
    </message>
    <message>
        <source>Datei lässt sich nicht kopieren</source>
        <translation>File cannot be copied</translation>
    </message>
    <message>
        <source>Gerät ist bereits geöffnet</source>
        <translation>Device is already open</translation>
    </message>
    <message>
        <source>Gerät ist nicht geöffnet</source>
        <translation>Device is not open</translation>
    </message>
    <message>
        <source>Gerät nicht mehr verfügbar</source>
        <translation>Device no longer available</translation>
    </message>
    <message>
        <source>Vom Gerät nicht unterstützt</source>
        <translation>Not supported by the device</translation>
    </message>
</context>
<context>
    <name>TrafficView</name>
    <message>
        <source>Kopieren</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Alles auswählen</source>
        <translation>Select all</translation>
    </message>
</context>
<context>
    <name>TrafficWindowParts</name>
    <message>
        <source>%1 – Text</source>
        <extracomment>Accessible name of the text view: %1 is the window&apos;s title.</extracomment>
        <translation>%1 – Text</translation>
    </message>
    <message>
        <source>Hexdarstellung</source>
        <translation>Hex view</translation>
    </message>
    <message>
        <source>%1 – Hexdarstellung</source>
        <extracomment>Accessible name of the hex view: %1 is the window&apos;s title.</extracomment>
        <translation>%1 – Hex view</translation>
    </message>
    <message>
        <source>&amp;Schließen</source>
        <translation>&amp;Close</translation>
    </message>
</context>
<context>
    <name>TransferRate</name>
    <message>
        <source>%1 Bytes/s</source>
        <extracomment>Transfer speed; %1 is a number of bytes per second</extracomment>
        <translation>%1 bytes/s</translation>
    </message>
    <message>
        <source>%1, steht still</source>
        <extracomment>%1 is the transfer speed (&quot;640 Bytes/s&quot;); nothing has moved for a while</extracomment>
        <translation>%1, stalled</translation>
    </message>
    <message>
        <source>%1, noch etwa %2</source>
        <extracomment>%1 is the transfer speed (&quot;640 Bytes/s&quot;), %2 the time still needed (&quot;33 s&quot;, &quot;4 min&quot;)</extracomment>
        <translation>%1, about %2 left</translation>
    </message>
    <message>
        <source>%1 s</source>
        <extracomment>A duration in seconds, abbreviated</extracomment>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 min</source>
        <extracomment>A duration in minutes, abbreviated</extracomment>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1 h</source>
        <extracomment>A duration in hours, abbreviated</extracomment>
        <translation>%1 h</translation>
    </message>
</context>
<context>
    <name>WindowSearch</name>
    <message>
        <source>Treffer %1 von %2%3</source>
        <extracomment>The match on show: %1 is its number, %2 the number of matches, %3 &quot; …&quot; while the search is still counting.</extracomment>
        <translation>Hit %1 of %2%3</translation>
    </message>
    <message>
        <source>Nicht gefunden.</source>
        <translation>Not found.</translation>
    </message>
    <message>
        <source>%1 Treffer%2</source>
        <extracomment>All matches highlighted: %1 is their number, %2 &quot; …&quot; while the search is still counting.</extracomment>
        <translation>Hits: %1%2</translation>
    </message>
</context>
<context>
    <name>frmAutomat</name>
    <message>
        <source>Automatisierung</source>
        <translation>Automation</translation>
    </message>
    <message>
        <source>Geben Sie die Bezeichnung für die<byte value="xd"/>
Befehlsschaltfläche %1 ein.</source>
        <extracomment>%1 is the number of the command button; keep the line break</extracomment>
        <translation>Enter the caption for<byte value="xd"/>
command button %1.</translation>
    </message>
    <message>
        <source>Daten für Befehl %1</source>
        <extracomment>Accessible name of a payload field; %1 is the command button&apos;s number</extracomment>
        <translation>Data for command %1</translation>
    </message>
    <message>
        <source>Sendet nebenstehende Daten</source>
        <extracomment>Tool tip of a command button</extracomment>
        <translation>Sends the data beside it</translation>
    </message>
    <message>
        <source>Löscht vor der Ausführung eines Befehls das Empfangsfenster.</source>
        <translation>Clears the “Received data” window before a command runs.</translation>
    </message>
    <message>
        <source>Empfangsfenster löschen bei Befehl %1</source>
        <extracomment>Accessible name of a check box; %1 is the command button&apos;s number</extracomment>
        <translation>Clear received data for command %1</translation>
    </message>
    <message>
        <source>Sonderzeichen</source>
        <translation>Special characters</translation>
    </message>
    <message>
        <source>&amp;Einfügen</source>
        <extracomment>Inserts the selected special character into the payload field</extracomment>
        <translation>I&amp;nsert</translation>
    </message>
    <message>
        <source>Schließen</source>
        <extracomment>Deliberately without access key</extracomment>
        <translation>Close</translation>
    </message>
    <message>
        <source>Linie zur Spalte „Empfangsfenster löschen“</source>
        <extracomment>Accessible name of the line that joins the check boxes to their column caption</extracomment>
        <translation>Line to the “Clear received data” column</translation>
    </message>
    <message>
        <source>Empfangsfenster löschen</source>
        <extracomment>Caption under the column of check boxes; little room</extracomment>
        <translation>Clear received data</translation>
    </message>
    <message>
        <source>Zweck: Speichert Befehle oder Text, der oft gesendet werden soll. Mit rechter Maustaste können Sie die Buttonbezeichnungen ändern.</source>
        <translation>Purpose: Stores commands or text to be sent often. Right-click a button to change its caption.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>tavel: %1=„%2“ ist keine Sprache (de oder en) und bleibt unbeachtet
</source>
        <translation>tavel: %1=“%2” is not a language (de or en) and is ignored
</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>lsg::FontColorDialog</name>
    <message>
        <source>Font</source>
        <translation>Schrift</translation>
    </message>
    <message>
        <source>&amp;Color...</source>
        <translation>&amp;Farbe...</translation>
    </message>
</context>
<context>
    <name>lsg::IniFile</name>
    <message>
        <source>Unable to write to %1</source>
        <translation>Schreiben nach %1 nicht möglich</translation>
    </message>
    <message>
        <source>the value of &quot;%1&quot; is longer than %2 bytes</source>
        <translation>der Wert von „%1“ ist länger als %2 Byte</translation>
    </message>
    <message>
        <source>the file is larger than %1 bytes</source>
        <translation>die Datei ist größer als %1 Byte</translation>
    </message>
    <message>
        <source>it links to a file of another user</source>
        <translation>sie verweist auf eine Datei eines anderen Benutzers</translation>
    </message>
    <message>
        <source>another program keeps it locked</source>
        <translation>ein anderes Programm hält sie gesperrt</translation>
    </message>
    <message>
        <source>its lock %1 cannot be taken: %2</source>
        <translation>ihre Sperre %1 kann nicht gesetzt werden: %2</translation>
    </message>
    <message>
        <source>its lock %1 is not a regular file</source>
        <translation>ihre Sperre %1 ist keine normale Datei</translation>
    </message>
    <message>
        <source>its lock %1 cannot be opened: %2</source>
        <translation>ihre Sperre %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>the file would grow beyond %1 bytes</source>
        <translation>die Datei würde größer als %1 Byte</translation>
    </message>
</context>
<context>
    <name>lsg::ProcessorGrid</name>
    <message>
        <source>CPU %1</source>
        <translation>CPU %1</translation>
    </message>
    <message>
        <source>%1: %2%</source>
        <translation>%1: %2%</translation>
    </message>
</context>
<context>
    <name>lsg::Sampler</name>
    <message>
        <source>Can&apos;t get the Windows version</source>
        <translation>Die Windows-Version kann nicht ermittelt werden</translation>
    </message>
    <message>
        <source>Unable to locate the &quot;Processor&quot; performance object</source>
        <translation>Das Leistungsobjekt „Processor“ wurde nicht gefunden</translation>
    </message>
    <message>
        <source>Unable to locate the &quot;% of CPU usage&quot; performance counter</source>
        <translation>Der Leistungszähler „% of CPU usage“ wurde nicht gefunden</translation>
    </message>
    <message>
        <source>CPU index out of bounds</source>
        <translation>CPU-Index außerhalb des gültigen Bereichs</translation>
    </message>
    <message>
        <source>Unable to start performance monitoring</source>
        <translation>Die Leistungsüberwachung kann nicht gestartet werden</translation>
    </message>
    <message>
        <source>Unable to read performance data</source>
        <translation>Die Leistungsdaten können nicht gelesen werden</translation>
    </message>
</context>
<context>
    <name>lsg::SamplingTick</name>
    <message>
        <source>CPU Usage: %1% (1 processor)</source>
        <translation>CPU-Auslastung: %1% (1 Prozessor)</translation>
    </message>
    <message>
        <source>Average CPU Usage: %1% (%2 processors)</source>
        <translation>Mittlere CPU-Auslastung: %1% (%2 Prozessoren)</translation>
    </message>
</context>
<context>
    <name>lsg::SettingsFormat</name>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>„%1“ ist keine gültige Ganzzahl</translation>
    </message>
</context>
<context>
    <name>lsg::TAppForm</name>
    <message>
        <source>Not available on Wayland: the compositor decides which windows stay above the others.</source>
        <translation>Unter Wayland nicht verfügbar: Der Compositor entscheidet, welche Fenster über den anderen bleiben.</translation>
    </message>
    <message>
        <source>Still Here</source>
        <translation>Noch da</translation>
    </message>
    <message>
        <source>%1 Settings</source>
        <translation>%1 – Einstellungen</translation>
    </message>
</context>
<context>
    <name>lsg::TForm2</name>
    <message>
        <source>CPU usage charts</source>
        <translation>CPU-Auslastungsdiagramme</translation>
    </message>
    <message>
        <source>Total CPU usage</source>
        <translation>Gesamte CPU-Auslastung</translation>
    </message>
    <message>
        <source>CPU usage of each processor</source>
        <translation>CPU-Auslastung jedes Prozessors</translation>
    </message>
    <message>
        <source>CPU</source>
        <translation>CPU</translation>
    </message>
    <message>
        <source>CPU %1 usage</source>
        <translation>Auslastung von CPU %1</translation>
    </message>
</context>
<context>
    <name>lsg::TNewVer</name>
    <message>
        <source>UPDATE AVAILABLE</source>
        <translation>UPDATE VERFÜGBAR</translation>
    </message>
    <message>
        <source>Click to download %1 %2</source>
        <translation>Klicken, um %1 %2 herunterzuladen</translation>
    </message>
</context>
<context>
    <name>lsg::TSettingsForm</name>
    <message>
        <source>Not available on Wayland: the compositor decides how transparent a window is.</source>
        <translation>Unter Wayland nicht verfügbar: Der Compositor entscheidet, wie durchsichtig ein Fenster ist.</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Edit Font...</source>
        <translation>Schrift bearbeiten...</translation>
    </message>
    <message>
        <source>Edit Background Color...</source>
        <translation>Hintergrundfarbe bearbeiten...</translation>
    </message>
    <message>
        <source>Transparency:</source>
        <translation>Transparenz:</translation>
    </message>
    <message>
        <source>Reset to Defaults...</source>
        <translation>Auf Standardwerte zurücksetzen...</translation>
    </message>
    <message>
        <source>Restart Application?</source>
        <translation>Anwendung neu starten?</translation>
    </message>
</context>
<context>
    <name>lsg::TransparencySlider</name>
    <message>
        <source>How much of the gadget shows through: 0 % is opaque.</source>
        <translation>Wie durchsichtig das Gadget ist: 0 % ist deckend.</translation>
    </message>
</context>
<context>
    <name>lsg::TrayMenu</name>
    <message>
        <source>Show &amp;Form</source>
        <translation>&amp;Fenster anzeigen</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation>Einstellungen...</translation>
    </message>
    <message>
        <source>Stay On Top</source>
        <translation>Immer im Vordergrund</translation>
    </message>
    <message>
        <source>Show All Processors</source>
        <translation>Alle Prozessoren anzeigen</translation>
    </message>
    <message>
        <source>Live Tray &amp;Icon</source>
        <translation>&amp;Live-Symbol im Infobereich</translation>
    </message>
    <message>
        <source>Update Notifications</source>
        <translation>Update-Benachrichtigungen</translation>
    </message>
    <message>
        <source>Start at &amp;Login</source>
        <translation>Beim &amp;Anmelden starten</translation>
    </message>
    <message>
        <source>Online Help</source>
        <translation>Online-Hilfe</translation>
    </message>
    <message>
        <source>S&amp;end Feedback...</source>
        <translation>Feedback &amp;senden...</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>Ü&amp;ber...</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>B&amp;eenden</translation>
    </message>
</context>
<context>
    <name>lsg::UpdateStore</name>
    <message>
        <source>The update settings folder &quot;%1&quot; could not be created.</source>
        <translation>Der Ordner „%1“ für die Update-Einstellungen konnte nicht angelegt werden.</translation>
    </message>
</context>
<context>
    <name>lsg::VersionInfo</name>
    <message>
        <source>A call to an OS function failed</source>
        <translation>Der Aufruf einer Betriebssystemfunktion ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>System Error.  Code: %1.<byte value="xd"/>
%2%3</source>
        <translation>Systemfehler.  Code: %1.<byte value="xd"/>
%2%3</translation>
    </message>
</context>
<context>
    <name>lsg::about::TAboutBox</name>
    <message>
        <source>File not found!</source>
        <translation>Datei nicht gefunden!</translation>
    </message>
    <message>
        <source>License</source>
        <translation>Lizenz</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Acknowledgements...</source>
        <translation>Danksagungen...</translation>
    </message>
    <message>
        <source>How to uninstall...</source>
        <translation>Deinstallieren...</translation>
    </message>
    <message>
        <source>License...</source>
        <translation>Lizenz...</translation>
    </message>
</context>
<context>
    <name>lsg::commandline</name>
    <message>
        <source>Usage: loadspire [--help | --version]

Shows how busy the processor is: a small gadget on the desktop draws the CPU
usage of the last ten seconds, and an icon in the notification area carries
its menu (also opened by a right click on the gadget).

Options:
  -h, --help     print this help and exit
      --version  print the program&apos;s name and version and exit

Any other argument is ignored. Place, size and look are kept in settings.ini,
beside the program when its folder is writable, otherwise in the user&apos;s
configuration folder; see loadspire(1).
</source>
        <translation>Aufruf: loadspire [--help | --version]

Zeigt, wie ausgelastet der Prozessor ist: Ein kleines Gadget auf dem Desktop
zeichnet die CPU-Auslastung der letzten zehn Sekunden, und ein Symbol im
Infobereich trägt sein Menü (das auch ein Rechtsklick auf das Gadget öffnet).

Optionen:
  -h, --help     diese Hilfe ausgeben und beenden
      --version  Name und Version des Programms ausgeben und beenden

Jedes andere Argument wird ignoriert. Position, Größe und Aussehen stehen in
settings.ini, neben dem Programm, wenn dessen Ordner beschreibbar ist, sonst im
Konfigurationsordner des Benutzers; siehe loadspire(1).
</translation>
    </message>
</context>
<context>
    <name>lsg::feedback::TFeedbackForm</name>
    <message>
        <source>%1 feedback</source>
        <translation>%1 – Feedback</translation>
    </message>
    <message>
        <source>I like it!</source>
        <translation>Gefällt mir!</translation>
    </message>
    <message>
        <source>I dislike it!</source>
        <translation>Gefällt mir nicht!</translation>
    </message>
    <message>
        <source>We would really appreciate your feedback.</source>
        <translation>Wir freuen uns sehr über Ihr Feedback.</translation>
    </message>
    <message>
        <source>What did you like or dislike?</source>
        <translation>Was hat Ihnen gefallen oder nicht gefallen?</translation>
    </message>
    <message>
        <source>Include my e-mail:</source>
        <translation>Meine E-Mail-Adresse angeben:</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Senden</translation>
    </message>
    <message>
        <source>Invalid e-mail address!</source>
        <translation>Ungültige E-Mail-Adresse!</translation>
    </message>
    <message>
        <source>Failure</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Your feedback is received.<byte value="xd"/><byte value="xd"/>Thank you!</source>
        <translation>Ihr Feedback ist angekommen.<byte value="xd"/><byte value="xd"/>Vielen Dank!</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>Erfolg</translation>
    </message>
    <message>
        <source>Something went wrong. Your feedback could not be delivered.<byte value="xd"/><byte value="xd"/>Please try again later.</source>
        <translation>Etwas ist schiefgegangen. Ihr Feedback konnte nicht übermittelt werden.<byte value="xd"/><byte value="xd"/>Bitte versuchen Sie es später erneut.</translation>
    </message>
    <message>
        <source>Sending...</source>
        <translation>Wird gesendet...</translation>
    </message>
</context>
<context>
    <name>lsg::platform::Autostart</name>
    <message>
        <source>Unable to write to %1: %2</source>
        <translation>Schreiben nach %1 nicht möglich: %2</translation>
    </message>
    <message>
        <source>Unable to write to the autostart folder: no home folder</source>
        <translation>Der Autostart-Ordner kann nicht beschrieben werden: kein persönlicher Ordner</translation>
    </message>
    <message>
        <source>Unable to remove %1: %2</source>
        <translation>%1 kann nicht entfernt werden: %2</translation>
    </message>
</context>
</TS>

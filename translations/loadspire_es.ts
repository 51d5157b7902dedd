<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>lsg::FontColorDialog</name>
    <message>
        <source>Font</source>
        <translation>Fuente</translation>
    </message>
    <message>
        <source>&amp;Color...</source>
        <translation>&amp;Color...</translation>
    </message>
</context>
<context>
    <name>lsg::IniFile</name>
    <message>
        <source>Unable to write to %1</source>
        <translation>No se puede escribir en %1</translation>
    </message>
    <message>
        <source>the value of &quot;%1&quot; is longer than %2 bytes</source>
        <translation>el valor de «%1» ocupa más de %2 bytes</translation>
    </message>
    <message>
        <source>the file is larger than %1 bytes</source>
        <translation>el archivo ocupa más de %1 bytes</translation>
    </message>
    <message>
        <source>it links to a file of another user</source>
        <translation>es un enlace a un archivo de otro usuario</translation>
    </message>
    <message>
        <source>another program keeps it locked</source>
        <translation>otro programa lo mantiene bloqueado</translation>
    </message>
    <message>
        <source>its lock %1 cannot be taken: %2</source>
        <translation>no se puede tomar su bloqueo %1: %2</translation>
    </message>
    <message>
        <source>its lock %1 is not a regular file</source>
        <translation>su bloqueo %1 no es un archivo normal</translation>
    </message>
    <message>
        <source>its lock %1 cannot be opened: %2</source>
        <translation>no se puede abrir su bloqueo %1: %2</translation>
    </message>
    <message>
        <source>the file would grow beyond %1 bytes</source>
        <translation>el archivo superaría los %1 bytes</translation>
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
        <translation>No se puede obtener la versión de Windows</translation>
    </message>
    <message>
        <source>Unable to locate the &quot;Processor&quot; performance object</source>
        <translation>No se encuentra el objeto de rendimiento «Processor»</translation>
    </message>
    <message>
        <source>Unable to locate the &quot;% of CPU usage&quot; performance counter</source>
        <translation>No se encuentra el contador de rendimiento «% of CPU usage»</translation>
    </message>
    <message>
        <source>CPU index out of bounds</source>
        <translation>Índice de CPU fuera de rango</translation>
    </message>
    <message>
        <source>Unable to start performance monitoring</source>
        <translation>No se puede iniciar la supervisión del rendimiento</translation>
    </message>
    <message>
        <source>Unable to read performance data</source>
        <translation>No se pueden leer los datos de rendimiento</translation>
    </message>
</context>
<context>
    <name>lsg::SamplingTick</name>
    <message>
        <source>CPU Usage: %1% (1 processor)</source>
        <translation>Uso de CPU: %1% (1 procesador)</translation>
    </message>
    <message>
        <source>Average CPU Usage: %1% (%2 processors)</source>
        <translation>Uso medio de CPU: %1% (%2 procesadores)</translation>
    </message>
</context>
<context>
    <name>lsg::SettingsFormat</name>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>«%1» no es un número entero válido</translation>
    </message>
</context>
<context>
    <name>lsg::TAppForm</name>
    <message>
        <source>Not available on Wayland: the compositor decides which windows stay above the others.</source>
        <translation>No disponible en Wayland: el compositor decide qué ventanas quedan por encima de las demás.</translation>
    </message>
    <message>
        <source>Still Here</source>
        <translation>Sigo aquí</translation>
    </message>
    <message>
        <source>%1 Settings</source>
        <translation>Configuración de %1</translation>
    </message>
</context>
<context>
    <name>lsg::TForm2</name>
    <message>
        <source>CPU usage charts</source>
        <translation>Gráficos de uso de CPU</translation>
    </message>
    <message>
        <source>Total CPU usage</source>
        <translation>Uso total de CPU</translation>
    </message>
    <message>
        <source>CPU usage of each processor</source>
        <translation>Uso de cada procesador</translation>
    </message>
    <message>
        <source>CPU</source>
        <translation>CPU</translation>
    </message>
    <message>
        <source>CPU %1 usage</source>
        <translation>Uso de la CPU %1</translation>
    </message>
</context>
<context>
    <name>lsg::TNewVer</name>
    <message>
        <source>UPDATE AVAILABLE</source>
        <translation>ACTUALIZACIÓN DISPONIBLE</translation>
    </message>
    <message>
        <source>Click to download %1 %2</source>
        <translation>Haga clic para descargar %1 %2</translation>
    </message>
</context>
<context>
    <name>lsg::TSettingsForm</name>
    <message>
        <source>Not available on Wayland: the compositor decides how transparent a window is.</source>
        <translation>No disponible en Wayland: el compositor decide cuán transparente es una ventana.</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>Edit Font...</source>
        <translation>Editar fuente...</translation>
    </message>
    <message>
        <source>Edit Background Color...</source>
        <translation>Editar color de fondo...</translation>
    </message>
    <message>
        <source>Transparency:</source>
        <translation>Transparencia:</translation>
    </message>
    <message>
        <source>Reset to Defaults...</source>
        <translation>Restablecer valores predeterminados...</translation>
    </message>
    <message>
        <source>Restart Application?</source>
        <translation>¿Reiniciar la aplicación?</translation>
    </message>
</context>
<context>
    <name>lsg::TransparencySlider</name>
    <message>
        <source>How much of the gadget shows through: 0 % is opaque.</source>
        <translation>Cuánto se transparenta el gadget: 0 % es opaco.</translation>
    </message>
</context>
<context>
    <name>lsg::TrayMenu</name>
    <message>
        <source>Show &amp;Form</source>
        <translation>Mostrar &amp;ventana</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation>Configuración...</translation>
    </message>
    <message>
        <source>Stay On Top</source>
        <translation>Siempre visible</translation>
    </message>
    <message>
        <source>Show All Processors</source>
        <translation>Mostrar todos los procesadores</translation>
    </message>
    <message>
        <source>Live Tray &amp;Icon</source>
        <translation>&amp;Icono dinámico en la bandeja</translation>
    </message>
    <message>
        <source>Update Notifications</source>
        <translation>Notificaciones de actualización</translation>
    </message>
    <message>
        <source>Start at &amp;Login</source>
        <translation>Iniciar al iniciar &amp;sesión</translation>
    </message>
    <message>
        <source>Online Help</source>
        <translation>Ayuda en línea</translation>
    </message>
    <message>
        <source>S&amp;end Feedback...</source>
        <translation>&amp;Enviar comentarios...</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;Acerca de...</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>Sa&amp;lir</translation>
    </message>
</context>
<context>
    <name>lsg::UpdateStore</name>
    <message>
        <source>The update settings folder &quot;%1&quot; could not be created.</source>
        <translation>No se pudo crear la carpeta de la configuración de actualizaciones «%1».</translation>
    </message>
</context>
<context>
    <name>lsg::VersionInfo</name>
    <message>
        <source>A call to an OS function failed</source>
        <translation>Falló la llamada a una función del sistema operativo</translation>
    </message>
    <message>
        <source>System Error.  Code: %1.<byte value="xd"/>
%2%3</source>
        <translation>Error del sistema.  Código: %1.<byte value="xd"/>
%2%3</translation>
    </message>
</context>
<context>
    <name>lsg::about::TAboutBox</name>
    <message>
        <source>File not found!</source>
        <translation>¡Archivo no encontrado!</translation>
    </message>
    <message>
        <source>License</source>
        <translation>Licencia</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Acerca de %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Información</translation>
    </message>
    <message>
        <source>Acknowledgements...</source>
        <translation>Agradecimientos...</translation>
    </message>
    <message>
        <source>How to uninstall...</source>
        <translation>Cómo desinstalar...</translation>
    </message>
    <message>
        <source>License...</source>
        <translation>Licencia...</translation>
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
        <translation>Uso: loadspire [--help | --version]

Muestra lo ocupado que está el procesador: un pequeño gadget en el escritorio
dibuja el uso de CPU de los últimos diez segundos, y un icono en el área de
notificación lleva su menú (que también abre un clic derecho en el gadget).

Opciones:
  -h, --help     muestra esta ayuda y termina
      --version  muestra el nombre y la versión del programa y termina

Cualquier otro argumento se ignora. La posición, el tamaño y el aspecto se
guardan en settings.ini, junto al programa si su carpeta admite escritura, o si
no en la carpeta de configuración del usuario; véase loadspire(1).
</translation>
    </message>
</context>
<context>
    <name>lsg::feedback::TFeedbackForm</name>
    <message>
        <source>%1 feedback</source>
        <translation>Comentarios sobre %1</translation>
    </message>
    <message>
        <source>I like it!</source>
        <translation>¡Me gusta!</translation>
    </message>
    <message>
        <source>I dislike it!</source>
        <translation>¡No me gusta!</translation>
    </message>
    <message>
        <source>We would really appreciate your feedback.</source>
        <translation>Sus comentarios nos importan mucho.</translation>
    </message>
    <message>
        <source>What did you like or dislike?</source>
        <translation>¿Qué le ha gustado o no le ha gustado?</translation>
    </message>
    <message>
        <source>Include my e-mail:</source>
        <translation>Incluir mi correo electrónico:</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Enviar</translation>
    </message>
    <message>
        <source>Invalid e-mail address!</source>
        <translation>¡Dirección de correo electrónico no válida!</translation>
    </message>
    <message>
        <source>Failure</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Your feedback is received.<byte value="xd"/><byte value="xd"/>Thank you!</source>
        <translation>Hemos recibido sus comentarios.<byte value="xd"/><byte value="xd"/>¡Gracias!</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>Correcto</translation>
    </message>
    <message>
        <source>Something went wrong. Your feedback could not be delivered.<byte value="xd"/><byte value="xd"/>Please try again later.</source>
        <translation>Algo ha fallado. No se pudieron enviar sus comentarios.<byte value="xd"/><byte value="xd"/>Inténtelo de nuevo más tarde.</translation>
    </message>
    <message>
        <source>Sending...</source>
        <translation>Enviando...</translation>
    </message>
</context>
<context>
    <name>lsg::platform::Autostart</name>
    <message>
        <source>Unable to write to %1: %2</source>
        <translation>No se puede escribir en %1: %2</translation>
    </message>
    <message>
        <source>Unable to write to the autostart folder: no home folder</source>
        <translation>No se puede escribir en la carpeta de inicio automático: no hay carpeta personal</translation>
    </message>
    <message>
        <source>Unable to remove %1: %2</source>
        <translation>No se puede eliminar %1: %2</translation>
    </message>
</context>
</TS>

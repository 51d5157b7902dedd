<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>lsg::FontColorDialog</name>
    <message>
        <source>Font</source>
        <translation>Police</translation>
    </message>
    <message>
        <source>&amp;Color...</source>
        <translation>&amp;Couleur...</translation>
    </message>
</context>
<context>
    <name>lsg::IniFile</name>
    <message>
        <source>Unable to write to %1</source>
        <translation>Impossible d&apos;écrire dans %1</translation>
    </message>
    <message>
        <source>the value of &quot;%1&quot; is longer than %2 bytes</source>
        <translation>la valeur de « %1 » dépasse %2 octets</translation>
    </message>
    <message>
        <source>the file is larger than %1 bytes</source>
        <translation>le fichier dépasse %1 octets</translation>
    </message>
    <message>
        <source>it links to a file of another user</source>
        <translation>il renvoie vers un fichier d&apos;un autre utilisateur</translation>
    </message>
    <message>
        <source>another program keeps it locked</source>
        <translation>un autre programme le garde verrouillé</translation>
    </message>
    <message>
        <source>its lock %1 cannot be taken: %2</source>
        <translation>son verrou %1 ne peut pas être pris : %2</translation>
    </message>
    <message>
        <source>its lock %1 is not a regular file</source>
        <translation>son verrou %1 n&apos;est pas un fichier ordinaire</translation>
    </message>
    <message>
        <source>its lock %1 cannot be opened: %2</source>
        <translation>son verrou %1 ne peut pas être ouvert : %2</translation>
    </message>
    <message>
        <source>the file would grow beyond %1 bytes</source>
        <translation>le fichier dépasserait %1 octets</translation>
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
        <translation>%1 : %2%</translation>
    </message>
</context>
<context>
    <name>lsg::Sampler</name>
    <message>
        <source>Can&apos;t get the Windows version</source>
        <translation>Impossible d&apos;obtenir la version de Windows</translation>
    </message>
    <message>
        <source>Unable to locate the &quot;Processor&quot; performance object</source>
        <translation>L&apos;objet de performance « Processor » est introuvable</translation>
    </message>
    <message>
        <source>Unable to locate the &quot;% of CPU usage&quot; performance counter</source>
        <translation>Le compteur de performance « % of CPU usage » est introuvable</translation>
    </message>
    <message>
        <source>CPU index out of bounds</source>
        <translation>Indice de processeur hors limites</translation>
    </message>
    <message>
        <source>Unable to start performance monitoring</source>
        <translation>Impossible de démarrer la surveillance des performances</translation>
    </message>
    <message>
        <source>Unable to read performance data</source>
        <translation>Impossible de lire les données de performance</translation>
    </message>
</context>
<context>
    <name>lsg::SamplingTick</name>
    <message>
        <source>CPU Usage: %1% (1 processor)</source>
        <translation>Utilisation du processeur : %1% (1 processeur)</translation>
    </message>
    <message>
        <source>Average CPU Usage: %1% (%2 processors)</source>
        <translation>Utilisation moyenne : %1% (%2 processeurs)</translation>
    </message>
</context>
<context>
    <name>lsg::SettingsFormat</name>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>« %1 » n&apos;est pas un nombre entier valide</translation>
    </message>
</context>
<context>
    <name>lsg::TAppForm</name>
    <message>
        <source>Not available on Wayland: the compositor decides which windows stay above the others.</source>
        <translation>Non disponible sous Wayland : le compositeur décide quelles fenêtres restent au-dessus des autres.</translation>
    </message>
    <message>
        <source>Still Here</source>
        <translation>Toujours là</translation>
    </message>
    <message>
        <source>%1 Settings</source>
        <translation>Paramètres de %1</translation>
    </message>
</context>
<context>
    <name>lsg::TForm2</name>
    <message>
        <source>CPU usage charts</source>
        <translation>Graphiques d&apos;utilisation du processeur</translation>
    </message>
    <message>
        <source>Total CPU usage</source>
        <translation>Utilisation totale du processeur</translation>
    </message>
    <message>
        <source>CPU usage of each processor</source>
        <translation>Utilisation de chaque processeur</translation>
    </message>
    <message>
        <source>CPU</source>
        <translation>CPU</translation>
    </message>
    <message>
        <source>CPU %1 usage</source>
        <translation>Utilisation du CPU %1</translation>
    </message>
</context>
<context>
    <name>lsg::TNewVer</name>
    <message>
        <source>UPDATE AVAILABLE</source>
        <translation>MISE À JOUR DISPONIBLE</translation>
    </message>
    <message>
        <source>Click to download %1 %2</source>
        <translation>Cliquez pour télécharger %1 %2</translation>
    </message>
</context>
<context>
    <name>lsg::TSettingsForm</name>
    <message>
        <source>Not available on Wayland: the compositor decides how transparent a window is.</source>
        <translation>Non disponible sous Wayland : le compositeur décide de la transparence des fenêtres.</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>Edit Font...</source>
        <translation>Modifier la police...</translation>
    </message>
    <message>
        <source>Edit Background Color...</source>
        <translation>Modifier la couleur d&apos;arrière-plan...</translation>
    </message>
    <message>
        <source>Transparency:</source>
        <translation>Transparence :</translation>
    </message>
    <message>
        <source>Reset to Defaults...</source>
        <translation>Rétablir les valeurs par défaut...</translation>
    </message>
    <message>
        <source>Restart Application?</source>
        <translation>Redémarrer l&apos;application ?</translation>
    </message>
</context>
<context>
    <name>lsg::TransparencySlider</name>
    <message>
        <source>How much of the gadget shows through: 0 % is opaque.</source>
        <translation>Transparence du gadget : 0 % est opaque.</translation>
    </message>
</context>
<context>
    <name>lsg::TrayMenu</name>
    <message>
        <source>Show &amp;Form</source>
        <translation>Afficher la &amp;fenêtre</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation>Paramètres...</translation>
    </message>
    <message>
        <source>Stay On Top</source>
        <translation>Toujours au premier plan</translation>
    </message>
    <message>
        <source>Show All Processors</source>
        <translation>Afficher tous les processeurs</translation>
    </message>
    <message>
        <source>Live Tray &amp;Icon</source>
        <translation>&amp;Icône dynamique</translation>
    </message>
    <message>
        <source>Update Notifications</source>
        <translation>Notifications de mise à jour</translation>
    </message>
    <message>
        <source>Start at &amp;Login</source>
        <translation>Démarrer à l&apos;&amp;ouverture de session</translation>
    </message>
    <message>
        <source>Online Help</source>
        <translation>Aide en ligne</translation>
    </message>
    <message>
        <source>S&amp;end Feedback...</source>
        <translation>&amp;Envoyer un avis...</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>À &amp;propos...</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
</context>
<context>
    <name>lsg::UpdateStore</name>
    <message>
        <source>The update settings folder &quot;%1&quot; could not be created.</source>
        <translation>Le dossier des paramètres de mise à jour « %1 » n&apos;a pas pu être créé.</translation>
    </message>
</context>
<context>
    <name>lsg::VersionInfo</name>
    <message>
        <source>A call to an OS function failed</source>
        <translation>L&apos;appel d&apos;une fonction du système a échoué</translation>
    </message>
    <message>
        <source>System Error.  Code: %1.<byte value="xd"/>
%2%3</source>
        <translation>Erreur système.  Code : %1.<byte value="xd"/>
%2%3</translation>
    </message>
</context>
<context>
    <name>lsg::about::TAboutBox</name>
    <message>
        <source>File not found!</source>
        <translation>Fichier introuvable !</translation>
    </message>
    <message>
        <source>License</source>
        <translation>Licence</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>À propos de %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Infos</translation>
    </message>
    <message>
        <source>Acknowledgements...</source>
        <translation>Remerciements...</translation>
    </message>
    <message>
        <source>How to uninstall...</source>
        <translation>Comment désinstaller...</translation>
    </message>
    <message>
        <source>License...</source>
        <translation>Licence...</translation>
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
        <translation>Usage : loadspire [--help | --version]

Montre la charge du processeur : un petit gadget sur le bureau trace
l&apos;utilisation du processeur des dix dernières secondes, et une icône dans la
zone de notification porte son menu (qu&apos;ouvre aussi un clic droit sur le gadget).

Options :
  -h, --help     affiche cette aide et quitte
      --version  affiche le nom et la version du programme et quitte

Tout autre argument est ignoré. La position, la taille et l&apos;apparence sont
gardées dans settings.ini, à côté du programme si son dossier est accessible en
écriture, sinon dans le dossier de configuration de l&apos;utilisateur ; voir
loadspire(1).
</translation>
    </message>
</context>
<context>
    <name>lsg::feedback::TFeedbackForm</name>
    <message>
        <source>%1 feedback</source>
        <translation>Votre avis sur %1</translation>
    </message>
    <message>
        <source>I like it!</source>
        <translation>J&apos;aime !</translation>
    </message>
    <message>
        <source>I dislike it!</source>
        <translation>Je n&apos;aime pas !</translation>
    </message>
    <message>
        <source>We would really appreciate your feedback.</source>
        <translation>Votre avis nous intéresse vraiment.</translation>
    </message>
    <message>
        <source>What did you like or dislike?</source>
        <translation>Qu&apos;avez-vous aimé ou pas aimé ?</translation>
    </message>
    <message>
        <source>Include my e-mail:</source>
        <translation>Joindre mon adresse e-mail :</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Envoyer</translation>
    </message>
    <message>
        <source>Invalid e-mail address!</source>
        <translation>Adresse e-mail non valide !</translation>
    </message>
    <message>
        <source>Failure</source>
        <translation>Échec</translation>
    </message>
    <message>
        <source>Your feedback is received.<byte value="xd"/><byte value="xd"/>Thank you!</source>
        <translation>Votre avis a bien été reçu.<byte value="xd"/><byte value="xd"/>Merci !</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>Succès</translation>
    </message>
    <message>
        <source>Something went wrong. Your feedback could not be delivered.<byte value="xd"/><byte value="xd"/>Please try again later.</source>
        <translation>Une erreur s&apos;est produite. Votre avis n&apos;a pas pu être transmis.<byte value="xd"/><byte value="xd"/>Veuillez réessayer plus tard.</translation>
    </message>
    <message>
        <source>Sending...</source>
        <translation>Envoi...</translation>
    </message>
</context>
<context>
    <name>lsg::platform::Autostart</name>
    <message>
        <source>Unable to write to %1: %2</source>
        <translation>Impossible d&apos;écrire dans %1 : %2</translation>
    </message>
    <message>
        <source>Unable to write to the autostart folder: no home folder</source>
        <translation>Impossible d&apos;écrire dans le dossier de démarrage automatique : aucun dossier personnel</translation>
    </message>
    <message>
        <source>Unable to remove %1: %2</source>
        <translation>Impossible de supprimer %1 : %2</translation>
    </message>
</context>
</TS>

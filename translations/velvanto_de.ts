<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AboutWindow</name>
    <message>
        <source>About Velvanto</source>
        <translation>Über Velvanto</translation>
    </message>
    <message>
        <source>Velvanto icon</source>
        <translation>Velvanto-Symbol</translation>
    </message>
    <message>
        <source>About text</source>
        <translation>Informationstext</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Velvanto&lt;/h2&gt;&lt;p&gt;A theme editor for the Dock of Mac OS X 10.5.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Velvanto&lt;/h2&gt;&lt;p&gt;Ein Theme-Editor für das Dock von Mac OS X 10.5.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Close about window</source>
        <translation>Fenster „Über Velvanto“ schließen</translation>
    </message>
</context>
<context>
    <name>ApplyRunner</name>
    <message>
        <source>its original images</source>
        <translation>seine Originalbilder</translation>
    </message>
</context>
<context>
    <name>AsideFile</name>
    <message>
        <source>is larger than %1 MiB</source>
        <translation>ist größer als %1 MiB</translation>
    </message>
    <message>
        <source>could not be copied (%1)</source>
        <translation>konnte nicht kopiert werden (%1)</translation>
    </message>
    <message>
        <source>is not a readable file</source>
        <translation>ist keine lesbare Datei</translation>
    </message>
</context>
<context>
    <name>BatchController</name>
    <message>
        <source>Waiting for start...</source>
        <translation>Warten auf Start …</translation>
    </message>
    <message>
        <source>Choose a folder with subfolder themes to convert</source>
        <translation>Wählen Sie einen Ordner mit Unterordnern, die in Themes konvertiert werden sollen</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Wählen</translation>
    </message>
    <message>
        <source>Empty Directory!</source>
        <translation>Leerer Ordner!</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>There is not any file in %1.</source>
        <translation>%1 enthält keine Datei.</translation>
    </message>
    <message>
        <source>Choose a destination folder for dockthemes</source>
        <translation>Wählen Sie einen Zielordner für die Dock-Themes</translation>
    </message>
    <message>
        <source>Choose a different folder</source>
        <translation>Wählen Sie einen anderen Ordner</translation>
    </message>
    <message>
        <source>You can&apos;t choose the same folder of source!</source>
        <translation>Sie können nicht den Quellordner als Ziel wählen!</translation>
    </message>
    <message>
        <source>The folder holds no image named as the Dock names its images (such as separator.png), so no theme was made.</source>
        <translation>Der Ordner enthält kein Bild, das so heißt, wie das Dock seine Bilder nennt (etwa separator.png), daher wurde kein Theme erstellt.</translation>
    </message>
    <message>
        <source>Well, done!</source>
        <translation>Fertig!</translation>
    </message>
    <message>
        <source>Thanks</source>
        <translation>Danke</translation>
    </message>
    <message>
        <source>All your resources folder was converted to .docktheme. Enjoy!</source>
        <translation>Alle Ihre Ordner wurden in .docktheme konvertiert. Viel Spaß!</translation>
    </message>
    <message>
        <source>%1 of %2 folders could not be converted to .docktheme; their rows say ERROR!.</source>
        <translation>%1 von %2 Ordnern konnten nicht in .docktheme konvertiert werden; ihre Zeilen zeigen „ERROR!“.</translation>
    </message>
    <message>
        <source>Some Folders Not Converted</source>
        <translation>Einige Ordner nicht konvertiert</translation>
    </message>
    <message numerus="yes">
        <source>%n of them took no image: a folder with no file named as the Dock names its images makes no theme. A row&apos;s tooltip says why it failed.</source>
        <translation>
            <numerusform>%n davon lieferte kein Bild: Ein Ordner ohne Datei, die so heißt, wie das Dock seine Bilder nennt, ergibt kein Theme. Der Tooltip einer Zeile nennt den Grund des Fehlers.</numerusform>
            <numerusform>%n davon lieferten kein Bild: Ein Ordner ohne Datei, die so heißt, wie das Dock seine Bilder nennt, ergibt kein Theme. Der Tooltip einer Zeile nennt den Grund des Fehlers.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>BatchTableModel</name>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
</context>
<context>
    <name>BatchWindow</name>
    <message>
        <source>Batch Converter</source>
        <translation>Stapelkonverter</translation>
    </message>
    <message>
        <source>Batch converter</source>
        <translation>Stapelkonverter</translation>
    </message>
    <message>
        <source>Every folder of images inside the source folder becomes one theme, named after the folder. Its images must be named as the Dock names them.</source>
        <translation>Jeder Bilderordner im Quellordner wird zu einem Theme, das nach dem Ordner benannt ist. Seine Bilder müssen so heißen, wie das Dock sie nennt.</translation>
    </message>
    <message>
        <source>What the batch converter does</source>
        <translation>Was der Stapelkonverter tut</translation>
    </message>
    <message>
        <source>Source:</source>
        <translation>Quelle:</translation>
    </message>
    <message>
        <source>Source folder</source>
        <translation>Quellordner</translation>
    </message>
    <message>
        <source>Choose a folder that holds folders of images</source>
        <translation>Wählen Sie einen Ordner, der Bilderordner enthält</translation>
    </message>
    <message>
        <source>C&amp;hoose…</source>
        <translation>&amp;Wählen…</translation>
    </message>
    <message>
        <source>Choose the source folder (Ctrl+O)</source>
        <translation>Den Quellordner wählen (Strg+O)</translation>
    </message>
    <message>
        <source>Choose the source folder</source>
        <translation>Den Quellordner wählen</translation>
    </message>
    <message>
        <source>Folders to convert</source>
        <translation>Zu konvertierende Ordner</translation>
    </message>
    <message>
        <source>Conversion progress</source>
        <translation>Fortschritt der Konvertierung</translation>
    </message>
    <message>
        <source>%v of %m</source>
        <translation>%v von %m</translation>
    </message>
    <message>
        <source>&amp;Convert…</source>
        <translation>&amp;Konvertieren…</translation>
    </message>
    <message>
        <source>Choose a destination folder and convert every folder (Ctrl+Return)</source>
        <translation>Einen Zielordner wählen und jeden Ordner konvertieren (Strg+Eingabe)</translation>
    </message>
    <message>
        <source>Choose a destination and convert</source>
        <translation>Ein Ziel wählen und konvertieren</translation>
    </message>
</context>
<context>
    <name>BundleFileCommand</name>
    <message>
        <source>Picture Not Replaced</source>
        <translation>Bild nicht ersetzt</translation>
    </message>
</context>
<context>
    <name>CollectionController</name>
    <message>
        <source>Checking for updates: %1 of %2 themes…</source>
        <translation>Suche nach Updates: %1 von %2 Themes …</translation>
    </message>
    <message numerus="yes">
        <source>%n theme(s), %1 update(s) available</source>
        <translation>
            <numerusform>%n Theme, %1 Update(s) verfügbar</numerusform>
            <numerusform>%n Themes, %1 Update(s) verfügbar</numerusform>
        </translation>
    </message>
    <message>
        <source>, %1 could not be checked</source>
        <translation>, %1 nicht prüfbar</translation>
    </message>
    <message>
        <source>Choose a theme to add in your collection</source>
        <translation>Wählen Sie ein Theme, das zu Ihrer Sammlung hinzugefügt werden soll</translation>
    </message>
    <message>
        <source>Add To Collection</source>
        <translation>Zur Sammlung hinzufügen</translation>
    </message>
    <message>
        <source>Invalid theme!</source>
        <translation>Ungültiges Theme!</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>%1 is corrupted: %2</source>
        <translation>%1 ist beschädigt: %2</translation>
    </message>
    <message>
        <source>Theme Not Imported</source>
        <translation>Theme nicht importiert</translation>
    </message>
    <message>
        <source>%1 can&apos;t be imported: the collection folder %2 can&apos;t be written (%3).</source>
        <translation>%1 kann nicht importiert werden: In den Sammlungsordner %2 kann nicht geschrieben werden (%3).</translation>
    </message>
    <message>
        <source>Importing %1…</source>
        <translation>%1 wird importiert …</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Importing the theme</source>
        <translation>Das Theme wird importiert</translation>
    </message>
    <message>
        <source>Import Theme</source>
        <translation>Theme importieren</translation>
    </message>
    <message>
        <source>%1 can&apos;t be imported: %2.</source>
        <translation>%1 kann nicht importiert werden: %2.</translation>
    </message>
    <message>
        <source>Theme Not Replaced</source>
        <translation>Theme nicht ersetzt</translation>
    </message>
    <message>
        <source>%1 could not be copied into your collection: %2. The theme there is kept as it was.</source>
        <translation>%1 konnte nicht in Ihre Sammlung kopiert werden: %2. Das Theme dort bleibt, wie es war.</translation>
    </message>
    <message>
        <source>Theme Not Added</source>
        <translation>Theme nicht hinzugefügt</translation>
    </message>
    <message>
        <source>%1 could not be copied into your collection: %2.</source>
        <translation>%1 konnte nicht in Ihre Sammlung kopiert werden: %2.</translation>
    </message>
    <message>
        <source>Unsigned Update</source>
        <translation>Unsigniertes Update</translation>
    </message>
    <message>
        <source>Install</source>
        <translation>Installieren</translation>
    </message>
    <message>
        <source>This update is not signed by its author. Install it anyway?</source>
        <translation>Dieses Update ist nicht von seinem Autor signiert. Trotzdem installieren?</translation>
    </message>
    <message>
        <source>Downloading %1 %2…</source>
        <translation>%1 %2 wird geladen …</translation>
    </message>
    <message>
        <source>Update Theme</source>
        <translation>Theme aktualisieren</translation>
    </message>
    <message>
        <source>Updating the theme</source>
        <translation>Das Theme wird aktualisiert</translation>
    </message>
    <message>
        <source>Theme Not Updated</source>
        <translation>Theme nicht aktualisiert</translation>
    </message>
    <message>
        <source>The update of %1 was not installed: %2. The theme was not changed.</source>
        <translation>Das Update von %1 wurde nicht installiert: %2. Das Theme wurde nicht verändert.</translation>
    </message>
    <message numerus="yes">
        <source>%n theme(s)</source>
        <translation>
            <numerusform>%n Theme</numerusform>
            <numerusform>%n Themes</numerusform>
        </translation>
    </message>
    <message>
        <source>0 theme(s): the collection folder can&apos;t be read</source>
        <translation>0 Themes: Der Sammlungsordner kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>Theme already exist!</source>
        <translation>Theme existiert bereits!</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>%1 already exist in your collection. Want you to replace it?</source>
        <translation>%1 ist bereits in Ihrer Sammlung. Möchten Sie es ersetzen?</translation>
    </message>
    <message>
        <source>Theme Not Removed</source>
        <translation>Theme nicht entfernt</translation>
    </message>
    <message>
        <source>%1 is no longer in your collection.</source>
        <translation>%1 ist nicht mehr in Ihrer Sammlung.</translation>
    </message>
    <message>
        <source>Theme Not Moved to the Trash</source>
        <translation>Theme nicht in den Papierkorb gelegt</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>%1 cannot be moved to the trash. Delete it permanently?</source>
        <translation>%1 kann nicht in den Papierkorb gelegt werden. Endgültig löschen?</translation>
    </message>
    <message>
        <source>%1 could not be deleted (%2).</source>
        <translation>%1 konnte nicht gelöscht werden (%2).</translation>
    </message>
    <message>
        <source>Apply Theme</source>
        <translation>Theme anwenden</translation>
    </message>
</context>
<context>
    <name>CollectionModel</name>
    <message>
        <source>Invalid theme: %1</source>
        <translation>Ungültiges Theme: %1</translation>
    </message>
    <message>
        <source>%1, update %2 available</source>
        <translation>%1, Update %2 verfügbar</translation>
    </message>
    <message>
        <source>Checking the theme…</source>
        <translation>Das Theme wird geprüft …</translation>
    </message>
    <message>
        <source>Update %1 available
%2</source>
        <translation>Update %1 verfügbar
%2</translation>
    </message>
</context>
<context>
    <name>CollectionWindow</name>
    <message>
        <source>Theme Collection</source>
        <translation>Theme-Sammlung</translation>
    </message>
    <message>
        <source>Theme collection</source>
        <translation>Theme-Sammlung</translation>
    </message>
    <message>
        <source>Themes in the collection</source>
        <translation>Themes der Sammlung</translation>
    </message>
    <message>
        <source>Double-click a theme to edit it</source>
        <translation>Doppelklicken Sie auf ein Theme, um es zu bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Add…</source>
        <translation>&amp;Hinzufügen…</translation>
    </message>
    <message>
        <source>Add a theme to the collection (Ctrl+Shift+A)</source>
        <translation>Ein Theme zur Sammlung hinzufügen (Strg+Umschalt+A)</translation>
    </message>
    <message>
        <source>Add theme to the collection</source>
        <translation>Theme zur Sammlung hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>Move the selected theme to the trash (Delete)</source>
        <translation>Das ausgewählte Theme in den Papierkorb legen (Entf)</translation>
    </message>
    <message>
        <source>Remove the selected theme</source>
        <translation>Das ausgewählte Theme entfernen</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Open the selected theme in the main window (Return)</source>
        <translation>Das ausgewählte Theme im Hauptfenster öffnen (Eingabe)</translation>
    </message>
    <message>
        <source>Edit the selected theme</source>
        <translation>Das ausgewählte Theme bearbeiten</translation>
    </message>
    <message>
        <source>E&amp;xport…</source>
        <translation>E&amp;xportieren…</translation>
    </message>
    <message>
        <source>Write the selected theme as one file to hand on</source>
        <translation>Das ausgewählte Theme als eine Datei zum Weitergeben schreiben</translation>
    </message>
    <message>
        <source>Export the selected theme</source>
        <translation>Das ausgewählte Theme exportieren</translation>
    </message>
    <message>
        <source>&amp;Check for Updates</source>
        <translation>Nach &amp;Updates suchen</translation>
    </message>
    <message>
        <source>Check every theme that has an update feed for a newer version</source>
        <translation>Jedes Theme mit Update-Feed auf eine neuere Version prüfen</translation>
    </message>
    <message>
        <source>Check the themes for updates</source>
        <translation>Die Themes auf Updates prüfen</translation>
    </message>
    <message>
        <source>&amp;Update</source>
        <translation>&amp;Aktualisieren</translation>
    </message>
    <message>
        <source>Install the update found for the selected theme</source>
        <translation>Das gefundene Update für das ausgewählte Theme installieren</translation>
    </message>
    <message>
        <source>Update the selected theme</source>
        <translation>Das ausgewählte Theme aktualisieren</translation>
    </message>
    <message>
        <source>Number of themes</source>
        <translation>Anzahl der Themes</translation>
    </message>
    <message>
        <source>0 theme(s)</source>
        <translation>0 Themes</translation>
    </message>
    <message>
        <source>A&amp;pply</source>
        <translation>An&amp;wenden</translation>
    </message>
    <message>
        <source>Apply the selected theme to the Dock without opening it (Ctrl+Return)</source>
        <translation>Das ausgewählte Theme auf das Dock anwenden, ohne es zu öffnen (Strg+Eingabe)</translation>
    </message>
    <message>
        <source>Apply the selected theme</source>
        <translation>Das ausgewählte Theme anwenden</translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>DockVerifier</name>
    <message>
        <source>The Dock shows %1</source>
        <translation>Das Dock zeigt %1</translation>
    </message>
    <message>
        <source>The Dock restarted but does not show %1</source>
        <translation>Das Dock wurde neu gestartet, zeigt aber nicht %1</translation>
    </message>
    <message>
        <source>The Dock did not restart within a few seconds</source>
        <translation>Das Dock wurde nicht innerhalb weniger Sekunden neu gestartet</translation>
    </message>
</context>
<context>
    <name>DropPlaceholder</name>
    <message>
        <source>Drag here</source>
        <translation>Hierher ziehen</translation>
    </message>
</context>
<context>
    <name>EditorView</name>
    <message>
        <source>Image editor</source>
        <translation>Bildeditor</translation>
    </message>
    <message>
        <source>Theme images</source>
        <translation>Bilder des Themes</translation>
    </message>
    <message>
        <source>Live Dock, &amp;size:</source>
        <translation>Live-Dock, &amp;Größe:</translation>
    </message>
    <message>
        <source>Live Dock size</source>
        <translation>Größe des Live-Docks</translation>
    </message>
    <message>
        <source>&amp;Larger View…</source>
        <translation>Größere &amp;Ansicht…</translation>
    </message>
    <message>
        <source>Show the live Dock larger</source>
        <translation>Das Live-Dock größer zeigen</translation>
    </message>
    <message>
        <source>The Dock at its real size over a desktop picture</source>
        <translation>Das Dock in echter Größe über einem Schreibtischbild</translation>
    </message>
    <message>
        <source>Image name</source>
        <translation>Bildname</translation>
    </message>
    <message>
        <source>No Selection</source>
        <translation>Keine Auswahl</translation>
    </message>
    <message>
        <source>font-weight: bold;</source>
        <translation>font-weight: bold;</translation>
    </message>
    <message>
        <source>Selected image (drop an image to replace it)</source>
        <translation>Ausgewähltes Bild (ein Bild hier ablegen, um es zu ersetzen)</translation>
    </message>
    <message>
        <source>Drop an image here to replace the selected one</source>
        <translation>Legen Sie hier ein Bild ab, um das ausgewählte zu ersetzen</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>Datei:</translation>
    </message>
    <message>
        <source>Image file name</source>
        <translation>Dateiname des Bildes</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Größe:</translation>
    </message>
    <message>
        <source>Image size</source>
        <translation>Bildgröße</translation>
    </message>
    <message>
        <source>The Dock&apos;s size:</source>
        <translation>Größe im Dock:</translation>
    </message>
    <message>
        <source>Recommended size</source>
        <translation>Empfohlene Größe</translation>
    </message>
    <message>
        <source>Drawn at:</source>
        <translation>Gezeichnet bei:</translation>
    </message>
    <message>
        <source>Dock sizes that draw it</source>
        <translation>Dock-Größen, die es zeichnen</translation>
    </message>
    <message>
        <source>Size warning</source>
        <translation>Größenwarnung</translation>
    </message>
    <message>
        <source>color: #c0392b; font-weight: bold;</source>
        <translation>color: #c0392b; font-weight: bold;</translation>
    </message>
    <message>
        <source>Image description</source>
        <translation>Bildbeschreibung</translation>
    </message>
    <message>
        <source>no size of the stand-in Dock</source>
        <translation>keine Größe des Ersatz-Docks</translation>
    </message>
    <message>
        <source>Size is too big</source>
        <translation>Bild ist zu groß</translation>
    </message>
</context>
<context>
    <name>ExternalEditor</name>
    <message>
        <source>Choose an external editor</source>
        <translation>Einen externen Editor wählen</translation>
    </message>
    <message>
        <source>No application of the desktop opens PNG images. Choose a program with Other….</source>
        <translation>Kein Programm des Desktops öffnet PNG-Bilder. Wählen Sie mit „Andere…“ ein Programm.</translation>
    </message>
    <message>
        <source>Open the theme&apos;s images in:</source>
        <translation>Die Bilder des Themes öffnen in:</translation>
    </message>
    <message>
        <source>Other…</source>
        <translation>Andere…</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Wählen</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>Velvanto Quick Guide</source>
        <translation>Velvanto-Kurzanleitung</translation>
    </message>
    <message>
        <source>Quick guide</source>
        <translation>Kurzanleitung</translation>
    </message>
    <message>
        <source>Quick guide text</source>
        <translation>Text der Kurzanleitung</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Close quick guide</source>
        <translation>Kurzanleitung schließen</translation>
    </message>
</context>
<context>
    <name>InfoView</name>
    <message>
        <source>Theme information</source>
        <translation>Theme-Informationen</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>Theme name</source>
        <translation>Name des Themes</translation>
    </message>
    <message>
        <source>&amp;Author:</source>
        <translation>&amp;Autor:</translation>
    </message>
    <message>
        <source>Author</source>
        <translation>Autor</translation>
    </message>
    <message>
        <source>Author&apos;s &amp;site:</source>
        <translation>&amp;Website des Autors:</translation>
    </message>
    <message>
        <source>Author&apos;s web site</source>
        <translation>Website des Autors</translation>
    </message>
    <message>
        <source>https://</source>
        <translation>https://</translation>
    </message>
    <message>
        <source>Visit</source>
        <translation>Besuchen</translation>
    </message>
    <message>
        <source>Visit author&apos;s site</source>
        <translation>Website des Autors besuchen</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>&amp;Update feed:</source>
        <translation>&amp;Update-Feed:</translation>
    </message>
    <message>
        <source>Update feed address</source>
        <translation>Adresse des Update-Feeds</translation>
    </message>
    <message>
        <source>Author&apos;s signing key</source>
        <translation>Signaturschlüssel des Autors</translation>
    </message>
    <message>
        <source>Save Information</source>
        <translation>Informationen speichern</translation>
    </message>
    <message>
        <source>Save information</source>
        <translation>Informationen speichern</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Preview picture (drop an image):</source>
        <translation>Vorschaubild (ein Bild ablegen):</translation>
    </message>
    <message>
        <source>Theme preview picture</source>
        <translation>Vorschaubild des Themes</translation>
    </message>
    <message>
        <source>Drop an image here to make it the theme&apos;s preview picture</source>
        <translation>Legen Sie hier ein Bild ab, um es zum Vorschaubild des Themes zu machen</translation>
    </message>
    <message>
        <source>Dock screenshot:</source>
        <translation>Dock-Bildschirmfoto:</translation>
    </message>
    <message>
        <source>Dock screenshot style</source>
        <translation>Stil des Dock-Bildschirmfotos</translation>
    </message>
    <message>
        <source>3D Dock</source>
        <translation>3D-Dock</translation>
    </message>
    <message>
        <source>2D Dock</source>
        <translation>2D-Dock</translation>
    </message>
    <message>
        <source>Render Dock Screenshots</source>
        <translation>Dock-Bildschirmfotos zeichnen</translation>
    </message>
    <message>
        <source>Render Dock screenshots</source>
        <translation>Dock-Bildschirmfotos zeichnen</translation>
    </message>
    <message>
        <source>Dock screenshot</source>
        <translation>Dock-Bildschirmfoto</translation>
    </message>
    <message>
        <source>Drop a PNG picture here to make it this Dock screenshot</source>
        <translation>Legen Sie hier ein PNG-Bild ab, um es zu diesem Dock-Bildschirmfoto zu machen</translation>
    </message>
    <message>
        <source>The Dock screenshot is out of date</source>
        <translation>Das Dock-Bildschirmfoto ist veraltet</translation>
    </message>
    <message>
        <source>The images changed since this screenshot was drawn: Render Dock Screenshots draws it anew.</source>
        <translation>Die Bilder haben sich geändert, seit dieses Bildschirmfoto gezeichnet wurde: „Dock-Bildschirmfotos zeichnen“ zeichnet es neu.</translation>
    </message>
    <message>
        <source>Ve&amp;rsion:</source>
        <translation>&amp;Version:</translation>
    </message>
    <message>
        <source>Descri&amp;ption:</source>
        <translation>&amp;Beschreibung:</translation>
    </message>
</context>
<context>
    <name>InformationView</name>
    <message>
        <source>Signed by key %1</source>
        <translation>Signiert mit Schlüssel %1</translation>
    </message>
    <message>
        <source>Not signed: updates need https and your confirmation</source>
        <translation>Nicht signiert: Updates erfordern https und Ihre Bestätigung</translation>
    </message>
</context>
<context>
    <name>LiveDock</name>
    <message>
        <source>Live Dock</source>
        <translation>Live-Dock</translation>
    </message>
    <message>
        <source>The theme&apos;s Dock as the stand-in Dock draws it; each piece names its image</source>
        <translation>Das Dock des Themes, wie das Ersatz-Dock es zeichnet; jedes Teil nennt sein Bild</translation>
    </message>
    <message>
        <source>Drawing the Dock…</source>
        <translation>Das Dock wird gezeichnet …</translation>
    </message>
</context>
<context>
    <name>LiveDockWindow</name>
    <message>
        <source>Drawing the Dock…</source>
        <translation>Das Dock wird gezeichnet …</translation>
    </message>
    <message>
        <source>Live Dock, %1</source>
        <translation>Live-Dock, %1</translation>
    </message>
    <message>
        <source>The Dock at its real size</source>
        <translation>Das Dock in echter Größe</translation>
    </message>
    <message>
        <source>Use as Dock Screenshot</source>
        <translation>Als Dock-Bildschirmfoto verwenden</translation>
    </message>
    <message>
        <source>Live Dock, larger view</source>
        <translation>Live-Dock, größere Ansicht</translation>
    </message>
    <message>
        <source>&amp;Use as Dock Screenshot</source>
        <translation>Als Dock-Bildschirmfoto &amp;verwenden</translation>
    </message>
    <message>
        <source>Close the larger view</source>
        <translation>Die größere Ansicht schließen</translation>
    </message>
</context>
<context>
    <name>MainController</name>
    <message>
        <source>Velvanto - %1 by %2</source>
        <translation>Velvanto - %1 von %2</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source> (edited)</source>
        <translation> (bearbeitet)</translation>
    </message>
    <message>
        <source>Open In %1</source>
        <translation>In %1 öffnen</translation>
    </message>
    <message>
        <source>Edit in %1</source>
        <translation>In %1 bearbeiten</translation>
    </message>
    <message>
        <source>Open Image In... (need to specify app)</source>
        <translation>Bild öffnen in … (Programm angeben)</translation>
    </message>
    <message>
        <source>Choose External Editor</source>
        <translation>Externen Editor wählen</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Informationen</translation>
    </message>
    <message>
        <source>Editor</source>
        <translation>Editor</translation>
    </message>
    <message>
        <source>Applying theme</source>
        <translation>Theme wird angewendet</translation>
    </message>
    <message>
        <source>Close about window</source>
        <translation>Fenster „Über Velvanto“ schließen</translation>
    </message>
    <message>
        <source>Render Preview Picture</source>
        <translation>Vorschaubild zeichnen</translation>
    </message>
    <message>
        <source>Draw the theme&apos;s small picture from its images</source>
        <translation>Das kleine Bild des Themes aus seinen Bildern zeichnen</translation>
    </message>
    <message>
        <source>Information saved</source>
        <translation>Informationen gespeichert</translation>
    </message>
    <message>
        <source>Dock screenshots drawn</source>
        <translation>Dock-Bildschirmfotos gezeichnet</translation>
    </message>
    <message>
        <source>The Dock screenshots could not be drawn</source>
        <translation>Die Dock-Bildschirmfotos konnten nicht gezeichnet werden</translation>
    </message>
    <message>
        <source>the theme</source>
        <translation>das Theme</translation>
    </message>
    <message>
        <source>Theme Not Created</source>
        <translation>Theme nicht erstellt</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>The theme could not be created at %1. %2</source>
        <translation>Das Theme konnte nicht unter %1 erstellt werden. %2</translation>
    </message>
    <message>
        <source>Open .docktheme file</source>
        <translation>.docktheme-Datei öffnen</translation>
    </message>
    <message>
        <source>Open Theme</source>
        <translation>Theme öffnen</translation>
    </message>
    <message>
        <source>Imported %1 from %2 into the collection; the collection&apos;s copy is open</source>
        <translation>%1 wurde aus %2 in die Sammlung importiert; die Kopie in der Sammlung ist geöffnet</translation>
    </message>
    <message>
        <source>Imported %1 from %2 into the collection</source>
        <translation>%1 wurde aus %2 in die Sammlung importiert</translation>
    </message>
    <message>
        <source>Clear Menu</source>
        <translation>Menü leeren</translation>
    </message>
    <message>
        <source>Defective file</source>
        <translation>Fehlerhafte Datei</translation>
    </message>
    <message>
        <source>This theme can&apos;t be opened: %1.</source>
        <translation>Dieses Theme kann nicht geöffnet werden: %1.</translation>
    </message>
    <message>
        <source>Exported %1 as %2</source>
        <translation>%1 wurde als %2 exportiert</translation>
    </message>
    <message>
        <source>The theme could not be created: there are no Dock images in %1.</source>
        <translation>Das Theme konnte nicht erstellt werden: In %1 gibt es keine Dock-Bilder.</translation>
    </message>
    <message>
        <source>Backup Done!</source>
        <translation>Sicherung erstellt!</translation>
    </message>
    <message>
        <source>I&apos;ve backupped your current dock style at: %1.</source>
        <translation>Ihr aktueller Dock-Stil wurde gesichert unter: %1.</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Wählen</translation>
    </message>
    <message>
        <source>Choose a folder with images to import</source>
        <translation>Wählen Sie einen Ordner mit Bildern zum Importieren</translation>
    </message>
    <message>
        <source>Empty Directory!</source>
        <translation>Leerer Ordner!</translation>
    </message>
    <message>
        <source>There is not any file in %1.</source>
        <translation>%1 enthält keine Datei.</translation>
    </message>
    <message>
        <source>Choose a name for theme</source>
        <translation>Wählen Sie einen Namen für das Theme</translation>
    </message>
    <message>
        <source>Theme Created!</source>
        <translation>Theme erstellt!</translation>
    </message>
    <message>
        <source>Your theme has been created from folder %1.</source>
        <translation>Ihr Theme wurde aus dem Ordner %1 erstellt.</translation>
    </message>
    <message>
        <source>Theme Check</source>
        <translation>Theme-Prüfung</translation>
    </message>
    <message>
        <source>Nothing to fix: the Dock can show every image of this theme as it is.</source>
        <translation>Nichts zu beheben: Das Dock kann jedes Bild dieses Themes so zeigen, wie es ist.</translation>
    </message>
    <message>
        <source>Restoring the stock Dock…</source>
        <translation>Das Standard-Dock wird wiederhergestellt …</translation>
    </message>
    <message>
        <source>Restoring the Dock&apos;s original images…</source>
        <translation>Die Originalbilder des Docks werden wiederhergestellt …</translation>
    </message>
    <message>
        <source>Theme Not Applied</source>
        <translation>Theme nicht angewendet</translation>
    </message>
    <message>
        <source>Dock Not Restored</source>
        <translation>Dock nicht wiederhergestellt</translation>
    </message>
    <message>
        <source>The Dock&apos;s original images are back</source>
        <translation>Die Originalbilder des Docks sind zurück</translation>
    </message>
    <message>
        <source>Dock Restored!</source>
        <translation>Dock wiederhergestellt!</translation>
    </message>
    <message>
        <source>Thanks!</source>
        <translation>Danke!</translation>
    </message>
    <message>
        <source>The Dock has the images it had before the first theme again.</source>
        <translation>Das Dock hat wieder die Bilder, die es vor dem ersten Theme hatte.</translation>
    </message>
    <message>
        <source>The stock Dock is back</source>
        <translation>Das Standard-Dock ist zurück</translation>
    </message>
    <message>
        <source>Welcome back to Apple default 10.5 Dock style! Have a nice day</source>
        <translation>Willkommen zurück beim Standard-Dock-Stil von Apple für 10.5! Einen schönen Tag noch</translation>
    </message>
    <message>
        <source>Applied %1</source>
        <translation>%1 angewendet</translation>
    </message>
    <message>
        <source>Checking the theme…</source>
        <translation>Das Theme wird geprüft …</translation>
    </message>
    <message>
        <source>The theme can be applied, but the Dock may not show it as meant.</source>
        <translation>Das Theme kann angewendet werden, aber das Dock zeigt es möglicherweise nicht wie beabsichtigt.</translation>
    </message>
    <message>
        <source>Apply Anyway?</source>
        <translation>Trotzdem anwenden?</translation>
    </message>
    <message>
        <source>Apply Anyway</source>
        <translation>Trotzdem anwenden</translation>
    </message>
    <message>
        <source>Applying %1…</source>
        <translation>%1 wird angewendet …</translation>
    </message>
    <message>
        <source>Drawing the Dock screenshots…</source>
        <translation>Die Dock-Bildschirmfotos werden gezeichnet …</translation>
    </message>
    <message>
        <source>Replace Preview Picture</source>
        <translation>Vorschaubild ersetzen</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Larger Thumbnails</source>
        <translation>Größere Miniaturen</translation>
    </message>
    <message>
        <source>Smaller Thumbnails</source>
        <translation>Kleinere Miniaturen</translation>
    </message>
    <message>
        <source>&amp;Live Dock</source>
        <translation>&amp;Live-Dock</translation>
    </message>
    <message>
        <source>Replace Dock Screenshot</source>
        <translation>Dock-Bildschirmfoto ersetzen</translation>
    </message>
    <message>
        <source>Choose an image</source>
        <translation>Wählen Sie ein Bild</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>No image is selected: select one among the thumbnails first.</source>
        <translation>Kein Bild ausgewählt: Wählen Sie zuerst eine der Miniaturen aus.</translation>
    </message>
    <message>
        <source>MyNewDock</source>
        <translation>MeinNeuesDock</translation>
    </message>
    <message>
        <source>It could not be opened once made</source>
        <translation>Es ließ sich nach dem Erstellen nicht öffnen</translation>
    </message>
    <message>
        <source>it is damaged</source>
        <translation>es ist beschädigt</translation>
    </message>
    <message>
        <source>My Current Dock</source>
        <translation>Mein aktuelles Dock</translation>
    </message>
    <message>
        <source>My Imported Theme</source>
        <translation>Mein importiertes Theme</translation>
    </message>
    <message>
        <source>the stock Dock</source>
        <translation>das Standard-Dock</translation>
    </message>
    <message>
        <source>The Dock can&apos;t take this theme until the errors below are fixed.</source>
        <translation>Das Dock kann dieses Theme erst übernehmen, wenn die Fehler unten behoben sind.</translation>
    </message>
    <message>
        <source>The Dock can&apos;t take this theme: fix the errors below and apply it again. The Dock was not changed.</source>
        <translation>Das Dock kann dieses Theme nicht übernehmen: Beheben Sie die Fehler unten und wenden Sie es erneut an. Das Dock wurde nicht verändert.</translation>
    </message>
    <message>
        <source>More toolbar items</source>
        <translation>Weitere Symbolleistenelemente</translation>
    </message>
    <message>
        <source>Replace Image…</source>
        <translation>Bild ersetzen…</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Velvanto[*]</source>
        <translation>Velvanto[*]</translation>
    </message>
    <message>
        <source>Velvanto</source>
        <translation>Velvanto</translation>
    </message>
    <message>
        <source>Theme views</source>
        <translation>Theme-Ansichten</translation>
    </message>
    <message>
        <source>Dock style</source>
        <translation>Dock-Stil</translation>
    </message>
    <message>
        <source>The style the Dock draws itself in</source>
        <translation>Der Stil, in dem sich das Dock zeichnet</translation>
    </message>
    <message>
        <source>3D Dock</source>
        <translation>3D-Dock</translation>
    </message>
    <message>
        <source>2D Dock</source>
        <translation>2D-Dock</translation>
    </message>
    <message>
        <source>Show information or editor</source>
        <translation>Informationen oder Editor zeigen</translation>
    </message>
    <message>
        <source>Switch between the theme information and the image editor</source>
        <translation>Zwischen den Theme-Informationen und dem Bildeditor wechseln</translation>
    </message>
    <message>
        <source>Images of the 2D or 3D Dock</source>
        <translation>Bilder des 2D- oder 3D-Docks</translation>
    </message>
    <message>
        <source>Which Dock&apos;s images the editor shows</source>
        <translation>Welche Dock-Bilder der Editor zeigt</translation>
    </message>
    <message>
        <source>2D Images</source>
        <translation>2D-Bilder</translation>
    </message>
    <message>
        <source>3D Images</source>
        <translation>3D-Bilder</translation>
    </message>
    <message>
        <source>Thumbnail size</source>
        <translation>Größe der Miniaturen</translation>
    </message>
    <message>
        <source>Menu bar</source>
        <translation>Menüleiste</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Dock</source>
        <translation>D&amp;ock</translation>
    </message>
    <message>
        <source>&amp;Image</source>
        <translation>B&amp;ild</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>New Theme…</source>
        <translation>Neues Theme…</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>Create a new theme</source>
        <translation>Ein neues Theme erstellen</translation>
    </message>
    <message>
        <source>Open Theme…</source>
        <translation>Theme öffnen…</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Open a theme</source>
        <translation>Ein Theme öffnen</translation>
    </message>
    <message>
        <source>Close Theme</source>
        <translation>Theme schließen</translation>
    </message>
    <message>
        <source>Close the theme</source>
        <translation>Das Theme schließen</translation>
    </message>
    <message>
        <source>Export Theme…</source>
        <translation>Theme exportieren…</translation>
    </message>
    <message>
        <source>Write the theme as one file to hand on</source>
        <translation>Das Theme als eine Datei zum Weitergeben schreiben</translation>
    </message>
    <message>
        <source>Save Information</source>
        <translation>Informationen speichern</translation>
    </message>
    <message>
        <source>Save the theme information</source>
        <translation>Die Theme-Informationen speichern</translation>
    </message>
    <message>
        <source>Back Up Current Dock…</source>
        <translation>Aktuelles Dock sichern…</translation>
    </message>
    <message>
        <source>Back up the Dock installed now as a theme</source>
        <translation>Das jetzt installierte Dock als Theme sichern</translation>
    </message>
    <message>
        <source>New Theme from Folder…</source>
        <translation>Neues Theme aus Ordner…</translation>
    </message>
    <message>
        <source>Create a theme from a folder of images</source>
        <translation>Ein Theme aus einem Bilderordner erstellen</translation>
    </message>
    <message>
        <source>Quit Velvanto</source>
        <translation>Velvanto beenden</translation>
    </message>
    <message>
        <source>Preferences…</source>
        <translation>Einstellungen…</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Apply Theme</source>
        <translation>Theme anwenden</translation>
    </message>
    <message>
        <source>Apply theme</source>
        <translation>Theme anwenden</translation>
    </message>
    <message>
        <source>Check Theme</source>
        <translation>Theme prüfen</translation>
    </message>
    <message>
        <source>Check the theme for what the Dock can&apos;t show</source>
        <translation>Das Theme auf das prüfen, was das Dock nicht zeigen kann</translation>
    </message>
    <message>
        <source>Restore Dock</source>
        <translation>Dock wiederherstellen</translation>
    </message>
    <message>
        <source>Restore the stock Dock</source>
        <translation>Das Standard-Dock wiederherstellen</translation>
    </message>
    <message>
        <source>Restore Original Dock Images…</source>
        <translation>Originalbilder des Docks wiederherstellen…</translation>
    </message>
    <message>
        <source>Put back the images the Dock had before the first theme</source>
        <translation>Die Bilder zurücklegen, die das Dock vor dem ersten Theme hatte</translation>
    </message>
    <message>
        <source>Render Dock Screenshots</source>
        <translation>Dock-Bildschirmfotos zeichnen</translation>
    </message>
    <message>
        <source>Render Dock screenshots of the theme</source>
        <translation>Dock-Bildschirmfotos des Themes zeichnen</translation>
    </message>
    <message>
        <source>Choose External Editor</source>
        <translation>Externen Editor wählen</translation>
    </message>
    <message>
        <source>Open the image in the external editor</source>
        <translation>Das Bild im externen Editor öffnen</translation>
    </message>
    <message>
        <source>Open Image In... (need to specify app)</source>
        <translation>Bild öffnen in … (Programm angeben)</translation>
    </message>
    <message>
        <source>Open the selected image in the external editor</source>
        <translation>Das ausgewählte Bild im externen Editor öffnen</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Preview the selected image</source>
        <translation>Vorschau des ausgewählten Bildes</translation>
    </message>
    <message>
        <source>Choose External Editor…</source>
        <translation>Externen Editor wählen…</translation>
    </message>
    <message>
        <source>Choose the external image editor</source>
        <translation>Den externen Bildeditor wählen</translation>
    </message>
    <message>
        <source>Velvanto Home Page</source>
        <translation>Velvanto-Website</translation>
    </message>
    <message>
        <source>Open the Velvanto home page</source>
        <translation>Die Website von Velvanto öffnen</translation>
    </message>
    <message>
        <source>Support Velvanto</source>
        <translation>Velvanto unterstützen</translation>
    </message>
    <message>
        <source>How to support Velvanto</source>
        <translation>Wie Sie Velvanto unterstützen können</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Informationen</translation>
    </message>
    <message>
        <source>Show the theme information</source>
        <translation>Die Theme-Informationen zeigen</translation>
    </message>
    <message>
        <source>Editor</source>
        <translation>Editor</translation>
    </message>
    <message>
        <source>Show the image editor</source>
        <translation>Den Bildeditor zeigen</translation>
    </message>
    <message>
        <source>Theme Collection</source>
        <translation>Theme-Sammlung</translation>
    </message>
    <message>
        <source>Show the theme collection</source>
        <translation>Die Theme-Sammlung zeigen</translation>
    </message>
    <message>
        <source>Ctrl+Shift+C</source>
        <translation>Ctrl+Shift+C</translation>
    </message>
    <message>
        <source>Batch Converter</source>
        <translation>Stapelkonverter</translation>
    </message>
    <message>
        <source>Show the batch converter</source>
        <translation>Den Stapelkonverter zeigen</translation>
    </message>
    <message>
        <source>Ctrl+Shift+B</source>
        <translation>Ctrl+Shift+B</translation>
    </message>
    <message>
        <source>Main Window</source>
        <translation>Hauptfenster</translation>
    </message>
    <message>
        <source>Show the main window</source>
        <translation>Das Hauptfenster zeigen</translation>
    </message>
    <message>
        <source>Quick Guide</source>
        <translation>Kurzanleitung</translation>
    </message>
    <message>
        <source>Show the quick guide</source>
        <translation>Die Kurzanleitung zeigen</translation>
    </message>
    <message>
        <source>About Velvanto</source>
        <translation>Über Velvanto</translation>
    </message>
    <message>
        <source>Check Theme for Update…</source>
        <translation>Theme auf Update prüfen…</translation>
    </message>
    <message>
        <source>Check the theme for an update</source>
        <translation>Das Theme auf ein Update prüfen</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>&amp;Zuletzt geöffnet</translation>
    </message>
</context>
<context>
    <name>PellixZoomWindow</name>
    <message>
        <source>Zooming window</source>
        <translation>Vergrößerungsfenster</translation>
    </message>
    <message>
        <source>Window picture</source>
        <translation>Fensterbild</translation>
    </message>
</context>
<context>
    <name>PreferencesSheet</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Open themes in the image editor</source>
        <translation>Themes im Bildeditor öffnen</translation>
    </message>
    <message>
        <source>Set the Dock style when applying a theme</source>
        <translation>Beim Anwenden eines Themes den Dock-Stil setzen</translation>
    </message>
    <message>
        <source>Give replaced images unique names</source>
        <translation>Ersetzten Bildern eindeutige Namen geben</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Close preferences</source>
        <translation>Einstellungen schließen</translation>
    </message>
</context>
<context>
    <name>PreviewWindow</name>
    <message>
        <source>Image Preview</source>
        <translation>Bildvorschau</translation>
    </message>
    <message>
        <source>Image preview</source>
        <translation>Bildvorschau</translation>
    </message>
    <message>
        <source>Previewed image</source>
        <translation>Angezeigtes Bild</translation>
    </message>
    <message>
        <source>Actual size</source>
        <translation>Originalgröße</translation>
    </message>
    <message>
        <source>Show the image at its actual size</source>
        <translation>Das Bild in Originalgröße zeigen</translation>
    </message>
</context>
<context>
    <name>ProgressSheet</name>
    <message>
        <source>Check for Update</source>
        <translation>Nach Update suchen</translation>
    </message>
    <message>
        <source>Checking the theme for an update</source>
        <translation>Das Theme wird auf ein Update geprüft</translation>
    </message>
    <message>
        <source>Checking the theme for an update…</source>
        <translation>Das Theme wird auf ein Update geprüft …</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Release notes</source>
        <translation>Versionshinweise</translation>
    </message>
    <message>
        <source>&amp;Later</source>
        <translation>&amp;Später</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Später</translation>
    </message>
    <message>
        <source>&amp;Install Update</source>
        <translation>Update &amp;installieren</translation>
    </message>
    <message>
        <source>Install Update</source>
        <translation>Update installieren</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stoppen</translation>
    </message>
    <message>
        <source>Stop checking</source>
        <translation>Prüfung beenden</translation>
    </message>
</context>
<context>
    <name>QtDialogs</name>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Dock themes (%1)</source>
        <translation>Dock-Themes (%1)</translation>
    </message>
    <message>
        <source>Applications</source>
        <translation>Programme</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Wählen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Save changes to the theme information?</source>
        <translation>Änderungen an den Theme-Informationen speichern?</translation>
    </message>
    <message>
        <source>Don&apos;t Save</source>
        <translation>Nicht speichern</translation>
    </message>
    <message>
        <source>Findings</source>
        <translation>Befunde</translation>
    </message>
    <message>
        <source>Double-click a finding to show its image</source>
        <translation>Doppelklicken Sie auf einen Befund, um sein Bild zu zeigen</translation>
    </message>
    <message>
        <source>Severity</source>
        <translation>Schweregrad</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Bild</translation>
    </message>
    <message>
        <source>What</source>
        <translation>Was</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
</context>
<context>
    <name>SlotImageCommand</name>
    <message>
        <source>Replace %1</source>
        <translation>%1 ersetzen</translation>
    </message>
    <message>
        <source>Image Not Replaced</source>
        <translation>Bild nicht ersetzt</translation>
    </message>
</context>
<context>
    <name>ThemeCommand</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>“%1” did not reach the theme: %2.</source>
        <translation>„%1“ wurde nicht ins Theme übernommen: %2.</translation>
    </message>
</context>
<context>
    <name>ThemeCommandLine</name>
    <message>
        <source>Shows this help.</source>
        <translation>Zeigt diese Hilfe.</translation>
    </message>
    <message>
        <source>standard output could not be written</source>
        <translation>in die Standardausgabe konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>--%1 takes no argument</source>
        <translation>--%1 erwartet kein Argument</translation>
    </message>
    <message>
        <source>no command given; see &quot;velvanto-theme --help&quot;</source>
        <translation>kein Befehl angegeben; siehe „velvanto-theme --help“</translation>
    </message>
    <message>
        <source>Checks, describes, makes, packs and applies Dock themes (.docktheme bundles).</source>
        <translation>Prüft, beschreibt, erstellt, packt und wendet Dock-Themes an (.docktheme-Bundles).</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>Befehle:</translation>
    </message>
    <message>
        <source>&quot;velvanto-theme help COMMAND&quot; tells more of each command.</source>
        <translation>„velvanto-theme help COMMAND“ erklärt jeden Befehl genauer.</translation>
    </message>
    <message>
        <source>Tells the program&apos;s version.</source>
        <translation>Zeigt die Version des Programms.</translation>
    </message>
    <message>
        <source>The command to run.</source>
        <translation>Der auszuführende Befehl.</translation>
    </message>
    <message>
        <source>The command.</source>
        <translation>Der Befehl.</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;; did you mean &apos;%2&apos;?</source>
        <translation>unbekannte Option „%1“; meinten Sie „%2“?</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>unbekannte Option „%1“</translation>
    </message>
    <message>
        <source>missing argument; see &quot;velvanto-theme %1 --help&quot;</source>
        <translation>fehlendes Argument; siehe „velvanto-theme %1 --help“</translation>
    </message>
    <message>
        <source>too many arguments</source>
        <translation>zu viele Argumente</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos;; did you mean &apos;%2&apos;?</source>
        <translation>unbekannter Befehl „%1“; meinten Sie „%2“?</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos;; see &quot;velvanto-theme --help&quot;</source>
        <translation>unbekannter Befehl „%1“; siehe „velvanto-theme --help“</translation>
    </message>
    <message>
        <source>standard output is a terminal; redirect it or name a file</source>
        <translation>die Standardausgabe ist ein Terminal; leiten Sie sie um oder geben Sie eine Datei an</translation>
    </message>
    <message>
        <source>--size takes %1 to %2 pixels, not &apos;%3&apos;</source>
        <translation>--size erwartet %1 bis %2 Pixel, nicht „%3“</translation>
    </message>
    <message>
        <source>it takes too long to read</source>
        <translation>das Lesen dauert zu lange</translation>
    </message>
    <message>
        <source>its Dock could not be drawn</source>
        <translation>das Dock des Themes konnte nicht gezeichnet werden</translation>
    </message>
    <message>
        <source>the apply tool&apos;s last lines:</source>
        <translation>die letzten Zeilen des Hilfsprogramms zum Anwenden:</translation>
    </message>
    <message>
        <source>Applied %1; the Dock restarts</source>
        <translation>%1 angewendet; das Dock startet neu</translation>
    </message>
    <message>
        <source>Restored the Dock&apos;s original images; the Dock restarts</source>
        <translation>Originalbilder des Docks wiederhergestellt; das Dock startet neu</translation>
    </message>
    <message>
        <source>Restored the stock theme; the Dock restarts</source>
        <translation>Standard-Theme wiederhergestellt; das Dock startet neu</translation>
    </message>
    <message>
        <source>not a theme: nothing is there</source>
        <translation>kein Theme: nichts vorhanden</translation>
    </message>
    <message>
        <source>not a theme: it can&apos;t be read (%1)</source>
        <translation>kein Theme: nicht lesbar (%1)</translation>
    </message>
    <message>
        <source>not a theme: it holds no Info.plist</source>
        <translation>kein Theme: enthält keine Info.plist</translation>
    </message>
    <message>
        <source>%1 error</source>
        <translation>%1 Fehler</translation>
    </message>
    <message>
        <source>%1 errors</source>
        <translation>%1 Fehler</translation>
    </message>
    <message>
        <source>%1 warning</source>
        <translation>%1 Warnung</translation>
    </message>
    <message>
        <source>%1 warnings</source>
        <translation>%1 Warnungen</translation>
    </message>
    <message>
        <source>A theme bundle.</source>
        <translation>Ein Theme-Bundle.</translation>
    </message>
    <message>
        <source>Writes the result as JSON (see the manual page).</source>
        <translation>Schreibt das Ergebnis als JSON (siehe Handbuchseite).</translation>
    </message>
    <message>
        <source>Shows the apply tool&apos;s log on standard error as it runs.</source>
        <translation>Zeigt während der Ausführung das Protokoll des Hilfsprogramms zum Anwenden auf der Standardfehlerausgabe.</translation>
    </message>
    <message>
        <source>this help, or what COMMAND does and takes</source>
        <translation>diese Hilfe oder was COMMAND tut und erwartet</translation>
    </message>
    <message>
        <source>Tells what the program or COMMAND does and takes, as --help does.</source>
        <translation>Erklärt, was das Programm oder COMMAND tut und erwartet, wie --help.</translation>
    </message>
    <message>
        <source>A command.</source>
        <translation>Ein Befehl.</translation>
    </message>
    <message>
        <source>the theme check, one line per finding</source>
        <translation>die Theme-Prüfung, eine Zeile je Befund</translation>
    </message>
    <message>
        <source>Checks theme bundles as the editor does before a theme reaches the Dock, one line per finding: &quot;BUNDLE: error: KEY (file): text&quot; or &quot;warning&quot;. A BUNDLE may be a theme archive (zip, tar, 7z): its theme is read as import reads it, in a temporary folder removed afterwards. Exit status 0 when no bundle has an error, 1 when one has or a BUNDLE is not a theme.</source>
        <translation>Prüft Theme-Bundles wie der Editor, bevor ein Theme das Dock erreicht, eine Zeile je Befund: „BUNDLE: error: KEY (file): text“ oder „warning“. Ein BUNDLE darf ein Theme-Archiv sein (zip, tar, 7z): Sein Theme wird wie bei import gelesen, in einem temporären Ordner, der danach entfernt wird. Exit-Status 0, wenn kein Bundle einen Fehler hat, 1, wenn eines einen hat oder ein BUNDLE kein Theme ist.</translation>
    </message>
    <message>
        <source>Theme bundles or archives.</source>
        <translation>Theme-Bundles oder -Archive.</translation>
    </message>
    <message>
        <source>Fails on warnings too.</source>
        <translation>Schlägt auch bei Warnungen fehl.</translation>
    </message>
    <message>
        <source>its name, author, site, version, feed, key and counts</source>
        <translation>Name, Autor, Website, Version, Feed, Schlüssel und Anzahlen</translation>
    </message>
    <message>
        <source>Tells a theme&apos;s information, its screenshots and its counts.</source>
        <translation>Zeigt die Informationen eines Themes, seine Bildschirmfotos und seine Anzahlen.</translation>
    </message>
    <message>
        <source>Writes FIELD (name, author, site, version or feed) as VALUE into Info.plist first, as the editor saves it; may be given again. public-key=KEY names the author&apos;s signing key (&quot;keygen&quot; tells it), which the theme&apos;s updates must be signed with; public-key= removes it.</source>
        <translation>Schreibt zuerst VALUE als FIELD (name, author, site, version oder feed) in die Info.plist, wie der Editor sie speichert; mehrfach angebbar. public-key=KEY nennt den Signaturschlüssel des Autors („keygen“ gibt ihn aus), mit dem die Updates des Themes signiert sein müssen; public-key= entfernt ihn.</translation>
    </message>
    <message>
        <source>every slot: its file, size and the Dock&apos;s size</source>
        <translation>jeder Platz: Datei, Größe und Größe im Dock</translation>
    </message>
    <message>
        <source>Lists every slot of both categories: key, readable name, file, the image&apos;s size, the size the Dock draws and whether the image is too big for it.</source>
        <translation>Listet jeden Platz beider Kategorien auf: Schlüssel, lesbarer Name, Datei, die Größe des Bildes, die Größe, in der das Dock es zeichnet, und ob das Bild dafür zu groß ist.</translation>
    </message>
    <message>
        <source>a copy of FILE made the image of the slot KEY</source>
        <translation>eine Kopie von FILE als Bild des Platzes KEY</translation>
    </message>
    <message>
        <source>Makes a copy of the image FILE the image of the slot KEY, as the editor does: the copy is refused when the theme has a file of its name already (&quot;Duplicate file&quot;) or when FILE is no picture the theme check reads (PNG, TIFF, JPEG, GIF, ICNS or another format the editor shows), and the slot&apos;s old file is removed when no key names it any more.</source>
        <translation>Macht eine Kopie des Bildes FILE zum Bild des Platzes KEY, wie der Editor: Die Kopie wird abgelehnt, wenn das Theme schon eine Datei dieses Namens hat („Duplicate file“) oder wenn FILE kein Bild ist, das die Theme-Prüfung liest (PNG, TIFF, JPEG, GIF, ICNS oder ein anderes Format, das der Editor zeigt), und die alte Datei des Platzes wird entfernt, wenn kein Schlüssel sie mehr nennt.</translation>
    </message>
    <message>
        <source>The slot&apos;s key, as &quot;slots&quot; lists it.</source>
        <translation>Der Schlüssel des Platzes, wie „slots“ ihn auflistet.</translation>
    </message>
    <message>
        <source>The image to copy in.</source>
        <translation>Das hineinzukopierende Bild.</translation>
    </message>
    <message>
        <source>Names the copy with a generated unique name, not FILE&apos;s own name.</source>
        <translation>Benennt die Kopie mit einem erzeugten eindeutigen Namen statt mit dem Namen von FILE.</translation>
    </message>
    <message>
        <source>a new bundle NAME.docktheme from the stock theme</source>
        <translation>ein neues Bundle NAME.docktheme aus dem Standard-Theme</translation>
    </message>
    <message>
        <source>Makes the theme bundle NAME.docktheme from the stock theme, named after NAME, as the editor&apos;s New Theme, New Theme from Folder and Back Up Current Dock do. Nothing is replaced. An empty DIR is refused; when no file of DIR is named as the Dock names its images, the theme is made with the stock images and a warning.</source>
        <translation>Erstellt das Theme-Bundle NAME.docktheme aus dem Standard-Theme, nach NAME benannt, wie es „Neues Theme“, „Neues Theme aus Ordner“ und „Aktuelles Dock sichern“ im Editor tun. Nichts wird ersetzt. Ein leeres DIR wird abgelehnt; wenn keine Datei in DIR so heißt, wie das Dock seine Bilder nennt, wird das Theme mit den Standardbildern und einer Warnung erstellt.</translation>
    </message>
    <message>
        <source>The new theme&apos;s path, without .docktheme.</source>
        <translation>Der Pfad des neuen Themes, ohne .docktheme.</translation>
    </message>
    <message>
        <source>Takes the images of DIR named as the Dock names them.</source>
        <translation>Übernimmt die Bilder aus DIR, die so heißen, wie das Dock sie nennt.</translation>
    </message>
    <message>
        <source>Takes the images the Dock has installed now (a back-up of the Dock).</source>
        <translation>Übernimmt die Bilder, die das Dock jetzt installiert hat (eine Sicherung des Docks).</translation>
    </message>
    <message>
        <source>the two Dock screenshots drawn from its images</source>
        <translation>die zwei Dock-Bildschirmfotos aus seinen Bildern</translation>
    </message>
    <message>
        <source>Draws the theme&apos;s 3D and 2D Dock screenshots (preview_3d.png, preview_2d.png) from its own images with the stand-in Dock&apos;s renderer, as the editor&apos;s Render Dock Screenshots does. Needs no display.</source>
        <translation>Zeichnet die 3D- und 2D-Dock-Bildschirmfotos des Themes (preview_3d.png, preview_2d.png) aus seinen eigenen Bildern mit dem Renderer des Ersatz-Docks, wie „Dock-Bildschirmfotos zeichnen“ im Editor. Benötigt keinen Bildschirm.</translation>
    </message>
    <message>
        <source>a bundle in DST for each sub-folder of SRC</source>
        <translation>ein Bundle in DST je Unterordner von SRC</translation>
    </message>
    <message>
        <source>The batch converter: makes DST/&lt;folder&gt;.docktheme for each sub-folder of SRC from the stock theme and the folder&apos;s images, one line per folder (OK, or ERROR: and why). A bundle already in DST is left untouched. Exit status 1 when a folder failed; the others are made. DST may not be SRC nor lie inside it (links resolved): exit status 2.</source>
        <translation>Der Stapelkonverter: Erstellt DST/&lt;folder&gt;.docktheme für jeden Unterordner von SRC aus dem Standard-Theme und den Bildern des Ordners, eine Zeile je Ordner (OK oder ERROR: und der Grund). Ein Bundle, das schon in DST liegt, bleibt unberührt. Exit-Status 1, wenn ein Ordner fehlschlug; die anderen werden erstellt. DST darf weder SRC sein noch darin liegen (Links aufgelöst): Exit-Status 2.</translation>
    </message>
    <message>
        <source>The folder of image folders.</source>
        <translation>Der Ordner mit den Bilderordnern.</translation>
    </message>
    <message>
        <source>The folder the bundles are made in.</source>
        <translation>Der Ordner, in dem die Bundles erstellt werden.</translation>
    </message>
    <message>
        <source>the theme put on the Dock (administrator rights)</source>
        <translation>das Theme auf das Dock angewendet (Administratorrechte)</translation>
    </message>
    <message>
        <source>Puts the theme&apos;s images on the Dock with the apply tool, asking for administrator rights as the editor does, and restarts the Dock; then says &quot;Applied &lt;name&gt;; the Dock restarts&quot;. A failure says why, with the tool&apos;s last lines.</source>
        <translation>Bringt die Bilder des Themes mit dem Hilfsprogramm zum Anwenden auf das Dock, fragt dabei wie der Editor nach Administratorrechten und startet das Dock neu; meldet dann „&lt;name&gt; angewendet; das Dock startet neu“. Bei einem Fehler nennt es den Grund, mit den letzten Zeilen des Hilfsprogramms.</translation>
    </message>
    <message>
        <source>the stock theme or the Dock&apos;s own images back</source>
        <translation>das Standard-Theme oder die eigenen Bilder des Docks zurück</translation>
    </message>
    <message>
        <source>Puts the stock theme on the Dock with the apply tool, as the editor&apos;s Restore Dock does, and says so.</source>
        <translation>Bringt das Standard-Theme mit dem Hilfsprogramm zum Anwenden auf das Dock, wie „Dock wiederherstellen“ im Editor, und meldet es.</translation>
    </message>
    <message>
        <source>Puts back the images the Dock had before the first theme instead.</source>
        <translation>Legt stattdessen die Bilder zurück, die das Dock vor dem ersten Theme hatte.</translation>
    </message>
    <message>
        <source>the bundle as one zip archive</source>
        <translation>das Bundle als ein Zip-Archiv</translation>
    </message>
    <message>
        <source>Writes a theme bundle as one zip archive, by default &quot;&lt;bundle name&gt;.zip&quot; in the current folder. An existing file is not replaced.</source>
        <translation>Schreibt ein Theme-Bundle als ein Zip-Archiv, standardmäßig „&lt;bundle name&gt;.zip“ im aktuellen Ordner. Eine vorhandene Datei wird nicht ersetzt.</translation>
    </message>
    <message>
        <source>The archive to write; &quot;-&quot; writes it to standard output (not to a terminal).</source>
        <translation>Das zu schreibende Archiv; „-“ schreibt es auf die Standardausgabe (nicht auf ein Terminal).</translation>
    </message>
    <message>
        <source>a theme archive unpacked and checked into a folder</source>
        <translation>ein Theme-Archiv, geprüft in einen Ordner entpackt</translation>
    </message>
    <message>
        <source>Unpacks a theme archive (zip, tar, 7z) into a folder, by default the current one, once it passes the theme check. A theme of the same name there is not replaced.</source>
        <translation>Entpackt ein Theme-Archiv (zip, tar, 7z) in einen Ordner, standardmäßig den aktuellen, sobald es die Theme-Prüfung besteht. Ein gleichnamiges Theme dort wird nicht ersetzt.</translation>
    </message>
    <message>
        <source>A theme archive.</source>
        <translation>Ein Theme-Archiv.</translation>
    </message>
    <message>
        <source>The folder to put the theme in.</source>
        <translation>Der Ordner, in den das Theme kommt.</translation>
    </message>
    <message>
        <source>a PNG of its Dock for file managers</source>
        <translation>ein PNG seines Docks für Dateimanager</translation>
    </message>
    <message>
        <source>A theme archive or bundle.</source>
        <translation>Ein Theme-Archiv oder -Bundle.</translation>
    </message>
    <message>
        <source>The PNG file to write.</source>
        <translation>Die zu schreibende PNG-Datei.</translation>
    </message>
    <message>
        <source>The largest width and height, 16 to 1024 pixels (128 when not given).</source>
        <translation>Die größte Breite und Höhe, 16 bis 1024 Pixel (128, wenn nicht angegeben).</translation>
    </message>
    <message>
        <source>a new signing key in KEYFILE, its public key told</source>
        <translation>ein neuer Signaturschlüssel in KEYFILE, der öffentliche ausgegeben</translation>
    </message>
    <message>
        <source>Makes a new Ed25519 key for signing a theme&apos;s updates: writes its secret half to KEYFILE, readable by its owner only (an existing file is never replaced), and tells its public key, which &quot;info --set public-key=KEY&quot; names in the theme. Keep KEYFILE safe: updates signed with another key are refused.</source>
        <translation>Erstellt einen neuen Ed25519-Schlüssel zum Signieren der Updates eines Themes: Schreibt seine geheime Hälfte in KEYFILE, nur für den Eigentümer lesbar (eine vorhandene Datei wird nie ersetzt), und gibt seinen öffentlichen Schlüssel aus, den „info --set public-key=KEY“ im Theme einträgt. Bewahren Sie KEYFILE sicher auf: Mit einem anderen Schlüssel signierte Updates werden abgelehnt.</translation>
    </message>
    <message>
        <source>The new key file.</source>
        <translation>Die neue Schlüsseldatei.</translation>
    </message>
    <message>
        <source>whether its feed has a newer version</source>
        <translation>ob sein Feed eine neuere Version hat</translation>
    </message>
    <message>
        <source>Reads each theme&apos;s update feed (its &quot;feed&quot; address) and tells whether a newer version is there, one line per bundle, at most 4 feeds at once. Fails when any check failed.</source>
        <translation>Liest den Update-Feed jedes Themes (seine „feed“-Adresse) und meldet, ob dort eine neuere Version ist, eine Zeile je Bundle, höchstens 4 Feeds gleichzeitig. Schlägt fehl, wenn eine Prüfung fehlschlug.</translation>
    </message>
    <message>
        <source>Theme bundles.</source>
        <translation>Theme-Bundles.</translation>
    </message>
    <message>
        <source>the newer version its feed offers, installed</source>
        <translation>die neuere Version aus seinem Feed, installiert</translation>
    </message>
    <message>
        <source>Checks the theme&apos;s update feed and installs a newer version in its place: downloaded, its signature verified with the theme&apos;s key, checked as import checks an archive, the old version moved to the trash. Nothing changes on any failure.</source>
        <translation>Prüft den Update-Feed des Themes und installiert an seiner Stelle eine neuere Version: heruntergeladen, ihre Signatur mit dem Schlüssel des Themes verifiziert, geprüft, wie import ein Archiv prüft, die alte Version in den Papierkorb gelegt. Bei einem Fehler ändert sich nichts.</translation>
    </message>
    <message>
        <source>Installs an update its author did not sign (a theme without a key, over https only).</source>
        <translation>Installiert ein Update, das sein Autor nicht signiert hat (ein Theme ohne Schlüssel, nur über https).</translation>
    </message>
    <message>
        <source>an update feed of signed archives for its users</source>
        <translation>ein Update-Feed signierter Archive für seine Nutzer</translation>
    </message>
    <message>
        <source>Writes an update feed (an RSS appcast) on standard output with one signed item per archive, newest first: each archive read as import reads it, its theme&apos;s version, its length, its date and its signature with the key. Each theme must name the key&apos;s public key (info --set public-key=…).</source>
        <translation>Schreibt einen Update-Feed (einen RSS-Appcast) auf die Standardausgabe, mit einem signierten Eintrag je Archiv, das neueste zuerst: jedes Archiv wie bei import gelesen, die Version seines Themes, seine Länge, sein Datum und seine Signatur mit dem Schlüssel. Jedes Theme muss den zugehörigen öffentlichen Schlüssel nennen (info --set public-key=…).</translation>
    </message>
    <message>
        <source>Theme archives made by export.</source>
        <translation>Mit export erstellte Theme-Archive.</translation>
    </message>
    <message>
        <source>The private key file (from keygen).</source>
        <translation>Die Datei mit dem privaten Schlüssel (von keygen).</translation>
    </message>
    <message>
        <source>The address the archives are uploaded to; each item&apos;s is this and the archive&apos;s file name.</source>
        <translation>Die Adresse, an die die Archive hochgeladen werden; jeder Eintrag erhält diese plus den Dateinamen des Archivs.</translation>
    </message>
    <message>
        <source>The newest release&apos;s notes, plain text.</source>
        <translation>Die Hinweise zur neuesten Version, als reiner Text.</translation>
    </message>
    <message>
        <source>Draws the Dock of the theme in INPUT, an archive (read as import reads it, and given up after 10 seconds) or a bundle, as its small preview fitted into SIZE by SIZE pixels, and writes it to OUTPUT as a PNG in one step. File managers run it for theme archives. Exit status 1, and no picture, for an archive import refuses.</source>
        <translation>Zeichnet das Dock des Themes in INPUT, einem Archiv (wie bei import gelesen und nach 10 Sekunden aufgegeben) oder einem Bundle, als seine kleine Vorschau, eingepasst in SIZE mal SIZE Pixel, und schreibt sie in einem Schritt als PNG nach OUTPUT. Dateimanager führen es für Theme-Archive aus. Exit-Status 1 und kein Bild bei einem Archiv, das import ablehnt.</translation>
    </message>
</context>
<context>
    <name>ThemeExporter</name>
    <message>
        <source>Export Theme</source>
        <translation>Theme exportieren</translation>
    </message>
    <message>
        <source>File already exists!</source>
        <translation>Datei existiert bereits!</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>%1 already exists. Want you to replace it?</source>
        <translation>%1 existiert bereits. Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <source>Theme Not Exported</source>
        <translation>Theme nicht exportiert</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>%1 could not be exported: %2.</source>
        <translation>%1 konnte nicht exportiert werden: %2.</translation>
    </message>
</context>
<context>
    <name>ThemeSession</name>
    <message>
        <source>Change Open Theme?</source>
        <translation>Geöffnetes Theme ändern?</translation>
    </message>
    <message>
        <source>Go On</source>
        <translation>Fortfahren</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>The theme open in the window is replaced or removed in the collection. The changes you made to it since you opened it go with it and can&apos;t be undone. Go on?</source>
        <translation>Das im Fenster geöffnete Theme wird in der Sammlung ersetzt oder entfernt. Ihre Änderungen seit dem Öffnen gehen damit verloren und können nicht rückgängig gemacht werden. Fortfahren?</translation>
    </message>
    <message>
        <source>The theme was replaced by a new copy and opened again</source>
        <translation>Das Theme wurde durch eine neue Kopie ersetzt und erneut geöffnet</translation>
    </message>
    <message>
        <source>Replace Description?</source>
        <translation>Beschreibung ersetzen?</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>The theme&apos;s description could not be read (%1). Saving replaces it with the text shown. Replace it?</source>
        <translation>Die Beschreibung des Themes konnte nicht gelesen werden (%1). Beim Speichern wird sie durch den angezeigten Text ersetzt. Ersetzen?</translation>
    </message>
    <message>
        <source>Information Not Saved</source>
        <translation>Informationen nicht gespeichert</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>The theme information could not be written to %1: %2.</source>
        <translation>Die Theme-Informationen konnten nicht in %1 geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>Another program changed the theme so that it no longer opens (%1); the window shows it as it was</source>
        <translation>Ein anderes Programm hat das Theme so verändert, dass es sich nicht mehr öffnen lässt (%1); das Fenster zeigt es, wie es war</translation>
    </message>
    <message>
        <source>Another program changed the theme: it was read again, and the undo steps that no longer apply were dropped</source>
        <translation>Ein anderes Programm hat das Theme verändert: Es wurde neu gelesen, und die Rückgängig-Schritte, die nicht mehr passen, wurden verworfen</translation>
    </message>
    <message>
        <source>Another program changed the theme: it was read again</source>
        <translation>Ein anderes Programm hat das Theme verändert: Es wurde neu gelesen</translation>
    </message>
    <message>
        <source>The theme information could not be written to %1.</source>
        <translation>Die Theme-Informationen konnten nicht in %1 geschrieben werden.</translation>
    </message>
    <message>
        <source>Duplicate file</source>
        <translation>Doppelte Datei</translation>
    </message>
    <message>
        <source>This file already exist in theme package</source>
        <translation>Diese Datei existiert bereits im Theme-Paket</translation>
    </message>
    <message>
        <source>Image Not Replaced</source>
        <translation>Bild nicht ersetzt</translation>
    </message>
    <message>
        <source>it is not a picture the theme check reads</source>
        <translation>Die Datei ist kein Bild, das die Theme-Prüfung lesen kann</translation>
    </message>
    <message>
        <source>Picture Not Replaced</source>
        <translation>Bild nicht ersetzt</translation>
    </message>
    <message>
        <source>it could not be drawn</source>
        <translation>Das Bild konnte nicht gezeichnet werden</translation>
    </message>
    <message>
        <source>name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>author</source>
        <translation>Autor</translation>
    </message>
    <message>
        <source>web site</source>
        <translation>Website</translation>
    </message>
    <message>
        <source>version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>update feed</source>
        <translation>Update-Feed</translation>
    </message>
    <message>
        <source>description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Theme Changed on Disk</source>
        <translation>Theme auf dem Datenträger geändert</translation>
    </message>
    <message>
        <source>Keep My Edits</source>
        <translation>Meine Änderungen behalten</translation>
    </message>
    <message>
        <source>Use Theirs</source>
        <translation>Die anderen übernehmen</translation>
    </message>
    <message>
        <source>Another program changed the %1 of this theme while you were editing. Keep your edits, or use what is on disk now?</source>
        <translation>Ein anderes Programm hat dieses Theme geändert, während Sie es bearbeitet haben (%1). Ihre Änderungen behalten oder den jetzigen Stand auf dem Datenträger übernehmen?</translation>
    </message>
    <message>
        <source>it %1</source>
        <translation>Die Datei %1</translation>
    </message>
    <message>
        <source>Replace Without Undo?</source>
        <translation>Ersetzen ohne Rückgängig?</translation>
    </message>
    <message>
        <source>“%1” %2 and can&apos;t be kept for undo. Replace it anyway?</source>
        <translation>„%1“ %2 und kann nicht zum Rückgängigmachen aufbewahrt werden. Trotzdem ersetzen?</translation>
    </message>
    <message>
        <source>%1 was not put in the theme: %2.</source>
        <translation>%1 wurde nicht ins Theme übernommen: %2.</translation>
    </message>
</context>
<context>
    <name>UpdateSheet</name>
    <message>
        <source>Checking for updates of %1…</source>
        <translation>Suche nach Updates für %1 …</translation>
    </message>
    <message>
        <source>Unsigned Update</source>
        <translation>Unsigniertes Update</translation>
    </message>
    <message>
        <source>Install</source>
        <translation>Installieren</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>This update is not signed by its author. Install it anyway?</source>
        <translation>Dieses Update ist nicht von seinem Autor signiert. Trotzdem installieren?</translation>
    </message>
    <message>
        <source>Downloading %1 %2…</source>
        <translation>%1 %2 wird geladen …</translation>
    </message>
    <message>
        <source>Cancel the update</source>
        <translation>Das Update abbrechen</translation>
    </message>
    <message>
        <source>%1 %2 is up to date.</source>
        <translation>%1 %2 ist aktuell.</translation>
    </message>
    <message>
        <source>no version</source>
        <translation>keine Version</translation>
    </message>
    <message>
        <source>%1 %2 is available (you have %3).
%4</source>
        <translation>%1 %2 ist verfügbar (Sie haben %3).
%4</translation>
    </message>
    <message>
        <source>It is signed by the theme&apos;s author.</source>
        <translation>Es ist vom Autor des Themes signiert.</translation>
    </message>
    <message>
        <source>It is unsigned: nothing shows it comes from the theme&apos;s author.</source>
        <translation>Es ist nicht signiert: Nichts zeigt, dass es vom Autor des Themes stammt.</translation>
    </message>
    <message>
        <source>%1 can&apos;t be checked for updates: %2.</source>
        <translation>%1 kann nicht auf Updates geprüft werden: %2.</translation>
    </message>
    <message>
        <source>Downloading %1 %2… %3 of %4</source>
        <translation>%1 %2 wird geladen … %3 von %4</translation>
    </message>
    <message>
        <source>%1 %2 is installed. %3</source>
        <translation>%1 %2 ist installiert. %3</translation>
    </message>
    <message>
        <source>The old version is in the trash.</source>
        <translation>Die alte Version liegt im Papierkorb.</translation>
    </message>
    <message>
        <source>The old version is kept as %1.</source>
        <translation>Die alte Version ist als %1 aufbewahrt.</translation>
    </message>
    <message>
        <source>The update of %1 was not installed: %2. The theme was not changed.</source>
        <translation>Das Update von %1 wurde nicht installiert: %2. Das Theme wurde nicht verändert.</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stoppen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Stop checking</source>
        <translation>Prüfung beenden</translation>
    </message>
</context>
<context>
    <name>VelvantoApplication</name>
    <message>
        <source>Velvanto runs already but does not answer; try again later.</source>
        <translation>Velvanto läuft bereits, antwortet aber nicht; versuchen Sie es später erneut.</translation>
    </message>
</context>
<context>
    <name>WelcomeView</name>
    <message>
        <source>Welcome</source>
        <translation>Willkommen</translation>
    </message>
    <message>
        <source>Welcome to Velvanto</source>
        <translation>Willkommen bei Velvanto</translation>
    </message>
    <message>
        <source>Make themes for the Dock of Mac OS X 10.5: create one, fill in its information, change its images, apply it. Drop a theme below to open it.</source>
        <translation>Erstellen Sie Themes für das Dock von Mac OS X 10.5: Legen Sie eines an, füllen Sie seine Informationen aus, ändern Sie seine Bilder und wenden Sie es an. Legen Sie unten ein Theme ab, um es zu öffnen.</translation>
    </message>
    <message>
        <source>New Theme…</source>
        <translation>Neues Theme…</translation>
    </message>
    <message>
        <source>New theme</source>
        <translation>Neues Theme</translation>
    </message>
    <message>
        <source>Open Theme…</source>
        <translation>Theme öffnen…</translation>
    </message>
    <message>
        <source>Open theme</source>
        <translation>Theme öffnen</translation>
    </message>
    <message>
        <source>Back Up Current Dock…</source>
        <translation>Aktuelles Dock sichern…</translation>
    </message>
    <message>
        <source>Back up current Dock</source>
        <translation>Aktuelles Dock sichern</translation>
    </message>
    <message>
        <source>Quick Guide</source>
        <translation>Kurzanleitung</translation>
    </message>
    <message>
        <source>Quick guide</source>
        <translation>Kurzanleitung</translation>
    </message>
    <message>
        <source>Drop a theme here to open it</source>
        <translation>Legen Sie hier ein Theme ab, um es zu öffnen</translation>
    </message>
    <message>
        <source>Drop a .docktheme bundle here to open it</source>
        <translation>Legen Sie hier ein .docktheme-Bundle ab, um es zu öffnen</translation>
    </message>
</context>
</TS>

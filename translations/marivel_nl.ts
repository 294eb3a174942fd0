<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="nl_NL">
<context>
    <name>Marivel</name>
    <message>
        <source>retrieving contents...</source>
        <translation>inhoud ophalen...</translation>
    </message>
    <message>
        <source>Filename</source>
        <translation>Bestandsnaam</translation>
    </message>
    <message>
        <source>Assertion failure</source>
        <translation>Interne controle mislukt</translation>
    </message>
    <message>
        <source>Enum error</source>
        <translation>Fout in opsommingswaarde</translation>
    </message>
    <message>
        <source>Extensions may not contain equal (=) signs</source>
        <translation>Extensies mogen geen isgelijkteken (=) bevatten</translation>
    </message>
    <message>
        <source>Currently it is not possible to load files from this format (extension %1)</source>
        <translation>Bestanden in dit formaat (extensie %1) kunnen op dit moment niet worden geladen</translation>
    </message>
    <message>
        <source>Currently it is not possible to save files in this format (extension %1)</source>
        <translation>Bestanden kunnen op dit moment niet in dit formaat (extensie %1) worden opgeslagen</translation>
    </message>
    <message>
        <source>Format %1 has no option %2</source>
        <translation>Formaat %1 heeft geen optie %2</translation>
    </message>
    <message>
        <source>All files</source>
        <translation>Alle bestanden</translation>
    </message>
    <message>
        <source>Invalid data type for &apos;%1&apos;</source>
        <translation>Ongeldig gegevenstype voor &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Failed to set data for &apos;%1&apos;</source>
        <translation>Gegevens voor &apos;%1&apos; konden niet worden ingesteld</translation>
    </message>
    <message>
        <source>Stream read error</source>
        <translation>Leesfout in gegevensstroom</translation>
    </message>
    <message>
        <source>File %1 not found</source>
        <translation>Bestand %1 niet gevonden</translation>
    </message>
    <message>
        <source>Cannot open file %1: %2</source>
        <translation>Kan bestand %1 niet openen: %2</translation>
    </message>
    <message>
        <source>Cannot write file %1: %2</source>
        <translation>Kan bestand %1 niet schrijven: %2</translation>
    </message>
    <message>
        <source>File changed while it was read</source>
        <translation>Het bestand is gewijzigd terwijl het werd gelezen</translation>
    </message>
    <message>
        <source>Invalid ov2 file</source>
        <translation>Ongeldig ov2-bestand</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid floating point value</source>
        <translation>&apos;%1&apos; is geen geldig decimaal getal</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>&apos;%1&apos; is geen geldig geheel getal</translation>
    </message>
    <message>
        <source>This Ascii PoiFile was generated</source>
        <translation>Dit ASCII-POI-bestand is gemaakt</translation>
    </message>
    <message>
        <source>on</source>
        <translation>op</translation>
    </message>
    <message>
        <source>by Marivel, the POI editor and converter of Orvik Software</source>
        <translation>door Marivel, de POI-editor en -converter van Orvik Software</translation>
    </message>
    <message>
        <source>Invalid ovr file</source>
        <translation>Ongeldig ovr-bestand</translation>
    </message>
    <message>
        <source>Invalid gdb file header</source>
        <translation>Ongeldige kop in gdb-bestand</translation>
    </message>
    <message>
        <source>Invalid gdb file version</source>
        <translation>Ongeldige versie van gdb-bestand</translation>
    </message>
    <message>
        <source>No items found in this TomTom Navigator configuration file. Are you sure you are opening a configuration file that belongs to version 5 of TomTom Navigator?</source>
        <translation>Geen items gevonden in dit configuratiebestand van TomTom Navigator. Weet u zeker dat u een configuratiebestand van versie 5 van TomTom Navigator opent?</translation>
    </message>
    <message>
        <source>Invalid dat file</source>
        <translation>Ongeldig dat-bestand</translation>
    </message>
    <message>
        <source>Invalid xml</source>
        <translation>Ongeldige xml</translation>
    </message>
    <message>
        <source>Invalid xml, no document element found</source>
        <translation>Ongeldige xml, geen documentelement gevonden</translation>
    </message>
    <message>
        <source>Invalid xml path %1: %2</source>
        <translation>Ongeldig xml-pad %1: %2</translation>
    </message>
    <message>
        <source>Invalid xml: %1...</source>
        <translation>Ongeldige xml: %1...</translation>
    </message>
    <message>
        <source>%1 at line %2, column %3</source>
        <translation>%1 op regel %2, kolom %3</translation>
    </message>
    <message>
        <source>unexpected end of text</source>
        <translation>onverwacht einde van de tekst</translation>
    </message>
    <message>
        <source>unexpected end of text, &lt;%1&gt; not closed</source>
        <translation>onverwacht einde van de tekst, &lt;%1&gt; niet gesloten</translation>
    </message>
    <message>
        <source>no element</source>
        <translation>geen element</translation>
    </message>
    <message>
        <source>malformed %1</source>
        <translation>onjuist gevormde %1</translation>
    </message>
    <message>
        <source>invalid name</source>
        <translation>ongeldige naam</translation>
    </message>
    <message>
        <source>malformed attribute</source>
        <translation>onjuist gevormd attribuut</translation>
    </message>
    <message>
        <source>end tag &lt;/%1&gt; does not match &lt;%2&gt;</source>
        <translation>eindtag &lt;/%1&gt; past niet bij &lt;%2&gt;</translation>
    </message>
    <message>
        <source>end tag &lt;/%1&gt; without a start tag</source>
        <translation>eindtag &lt;/%1&gt; zonder begintag</translation>
    </message>
    <message>
        <source>Invalid xml: nesting deeper than %1 levels</source>
        <translation>Ongeldige xml: nesting dieper dan %1 niveaus</translation>
    </message>
    <message>
        <source>Invalid entry found in GPX format</source>
        <translation>Ongeldig item gevonden in GPX-formaat</translation>
    </message>
    <message>
        <source>build</source>
        <translation>build</translation>
    </message>
    <message>
        <source>%1 character that the code page %2 lacks was replaced by &quot;?&quot;</source>
        <translation>%1 teken dat codetabel %2 niet kent, is vervangen door &quot;?&quot;</translation>
    </message>
    <message>
        <source>%1 characters that the code page %2 lacks were replaced by &quot;?&quot;</source>
        <translation>%1 tekens die codetabel %2 niet kent, zijn vervangen door &quot;?&quot;</translation>
    </message>
    <message>
        <source>Invalid kml: %1...</source>
        <translation>Ongeldige kml: %1...</translation>
    </message>
    <message>
        <source>no waypoints; the file holds %1, which GPX import does not read</source>
        <translation>geen waypoints; het bestand bevat %1, die de GPX-import niet leest</translation>
    </message>
    <message>
        <source>no placemarks with a point; the file holds %1, which KML import does not read</source>
        <translation>geen placemarks met een punt; het bestand bevat %1, die de KML-import niet leest</translation>
    </message>
    <message>
        <source>%1 route point</source>
        <translation>%1 routepunt</translation>
    </message>
    <message>
        <source>%1 route points</source>
        <translation>%1 routepunten</translation>
    </message>
    <message>
        <source>%1 point in MultiGeometry</source>
        <translation>%1 punt in MultiGeometry</translation>
    </message>
    <message>
        <source>%1 points in MultiGeometry</source>
        <translation>%1 punten in MultiGeometry</translation>
    </message>
    <message>
        <source>%1 gx:Track point</source>
        <translation>%1 gx:Track-punt</translation>
    </message>
    <message>
        <source>%1 gx:Track points</source>
        <translation>%1 gx:Track-punten</translation>
    </message>
    <message>
        <source>%1 %2 element</source>
        <translation>%1 %2-element</translation>
    </message>
    <message>
        <source>%1 %2 elements</source>
        <translation>%1 %2-elementen</translation>
    </message>
    <message>
        <source>Invalid value found in coordinates node</source>
        <translation>Ongeldige waarde gevonden in coordinates-knooppunt</translation>
    </message>
    <message>
        <source>File does not contain any worksheets</source>
        <translation>Het bestand bevat geen werkbladen</translation>
    </message>
    <message>
        <source>Longitude expected in column %1 of row %2</source>
        <translation>Lengtegraad verwacht in kolom %1 van rij %2</translation>
    </message>
    <message>
        <source>Latitude expected in column %1 of row %2</source>
        <translation>Breedtegraad verwacht in kolom %1 van rij %2</translation>
    </message>
    <message>
        <source>Unable to download %1: %2</source>
        <translation>Kan %1 niet downloaden: %2</translation>
    </message>
    <message>
        <source>HTTP %1 %2</source>
        <translation>HTTP %1 %2</translation>
    </message>
    <message>
        <source>connection refused</source>
        <translation>verbinding geweigerd</translation>
    </message>
    <message>
        <source>timed out after %1 s</source>
        <translation>time-out na %1 s</translation>
    </message>
    <message>
        <source>larger than %1 MiB</source>
        <translation>groter dan %1 MiB</translation>
    </message>
    <message>
        <source>took longer than %1 min</source>
        <translation>duurde langer dan %1 min</translation>
    </message>
    <message>
        <source>Could not copy file %1 to file %2</source>
        <translation>Kan bestand %1 niet kopiëren naar bestand %2</translation>
    </message>
    <message>
        <source>Operation aborted</source>
        <translation>Bewerking afgebroken</translation>
    </message>
    <message>
        <source>Could not access registry for writing</source>
        <translation>Kan het register niet openen om te schrijven</translation>
    </message>
    <message>
        <source> (device folder %1)</source>
        <translation> (map op apparaat %1)</translation>
    </message>
    <message>
        <source> (no device folder is set and no navigator is mounted)</source>
        <translation> (er is geen map op het apparaat ingesteld en er is geen navigatiesysteem gekoppeld)</translation>
    </message>
    <message>
        <source>Rapi not loaded</source>
        <translation>Rapi niet geladen</translation>
    </message>
    <message>
        <source>CeGetSpecialFolderPath function not loaded</source>
        <translation>Functie CeGetSpecialFolderPath niet geladen</translation>
    </message>
    <message>
        <source>Could not open remote file %1</source>
        <translation>Kan bestand %1 op het apparaat niet openen</translation>
    </message>
    <message>
        <source>Could not read from remote file %1</source>
        <translation>Kan niet lezen uit bestand %1 op het apparaat</translation>
    </message>
    <message>
        <source>Could not create remote file %1</source>
        <translation>Kan bestand %1 op het apparaat niet aanmaken</translation>
    </message>
    <message>
        <source>Could not write remote file %1: %2</source>
        <translation>Kan bestand %1 op het apparaat niet schrijven: %2</translation>
    </message>
    <message>
        <source>Unable to create key in remote registry</source>
        <translation>Kan geen sleutel aanmaken in het register van het apparaat</translation>
    </message>
    <message>
        <source>Cannot write remote registry value %1</source>
        <translation>Kan waarde %1 in het register van het apparaat niet schrijven</translation>
    </message>
    <message>
        <source>Unable to determine number of values in remote registry key</source>
        <translation>Kan het aantal waarden in de registersleutel van het apparaat niet bepalen</translation>
    </message>
    <message>
        <source>Cannot read remote registry value</source>
        <translation>Kan waarde in het register van het apparaat niet lezen</translation>
    </message>
    <message>
        <source>My Device</source>
        <translation>Mijn apparaat</translation>
    </message>
    <message>
        <source>My Documents</source>
        <translation>Mijn documenten</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Overige</translation>
    </message>
    <message>
        <source>Remote file %1 already exists. Do you want to overwrite it?</source>
        <translation>Bestand %1 bestaat al op het apparaat. Wilt u het overschrijven?</translation>
    </message>
    <message>
        <source>Are you sure you want to delete remote file %1?</source>
        <translation>Weet u zeker dat u bestand %1 op het apparaat wilt verwijderen?</translation>
    </message>
    <message>
        <source>Could not delete remote file %1</source>
        <translation>Kan bestand %1 op het apparaat niet verwijderen</translation>
    </message>
    <message>
        <source>Delete bmp and inf files as well</source>
        <translation>Ook bmp- en inf-bestanden verwijderen</translation>
    </message>
    <message>
        <source>Copy bmp file if available</source>
        <translation>Bmp-bestand kopiëren als het er is</translation>
    </message>
    <message>
        <source>No map or folder specified</source>
        <translation>Geen kaart of map opgegeven</translation>
    </message>
    <message>
        <source>InitRapi not called</source>
        <translation>InitRapi niet aangeroepen</translation>
    </message>
    <message>
        <source>The file name %1 holds characters that the device does not allow in names: %2</source>
        <translation>De bestandsnaam %1 bevat tekens die het apparaat niet in namen toestaat: %2</translation>
    </message>
    <message>
        <source>The file name %1 is too long for the device, whose paths hold at most %2 characters</source>
        <translation>De bestandsnaam %1 is te lang voor het apparaat; paden daarop zijn hoogstens %2 tekens lang</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Naamloos</translation>
    </message>
    <message>
        <source>items</source>
        <translation>items</translation>
    </message>
    <message>
        <source>Changed</source>
        <translation>Gewijzigd</translation>
    </message>
    <message>
        <source>New entry</source>
        <translation>Nieuw punt</translation>
    </message>
    <message>
        <source>No items found</source>
        <translation>Geen items gevonden</translation>
    </message>
    <message>
        <source>No more items found</source>
        <translation>Geen items meer gevonden</translation>
    </message>
    <message>
        <source>The current data has changed. Do you want to save the changes?</source>
        <translation>De gegevens zijn gewijzigd. Wilt u de wijzigingen opslaan?</translation>
    </message>
    <message>
        <source>Enter the new description to apply to the selection</source>
        <translation>Geef de nieuwe omschrijving voor de selectie</translation>
    </message>
    <message>
        <source>Cleaning up, please wait...</source>
        <translation>Bezig met opruimen, even geduld...</translation>
    </message>
    <message>
        <source>Loading, please wait...</source>
        <translation>Bezig met laden, even geduld...</translation>
    </message>
    <message>
        <source>Find items</source>
        <translation>Items zoeken</translation>
    </message>
    <message>
        <source>Enter search string below</source>
        <translation>Geef hieronder de zoektekst</translation>
    </message>
    <message>
        <source>No search string entered</source>
        <translation>Geen zoektekst opgegeven</translation>
    </message>
    <message>
        <source>Remote</source>
        <translation>apparaat</translation>
    </message>
    <message>
        <source>Marivel Find Duplicates...</source>
        <translation>Marivel Dubbele items zoeken...</translation>
    </message>
    <message>
        <source>No duplicate items found</source>
        <translation>Geen dubbele items gevonden</translation>
    </message>
    <message>
        <source>Searching for duplicates...</source>
        <translation>Dubbele items zoeken...</translation>
    </message>
    <message>
        <source>No files selected</source>
        <translation>Geen bestanden geselecteerd</translation>
    </message>
    <message>
        <source>Source and destination types are equal</source>
        <translation>Bron- en doeltype zijn gelijk</translation>
    </message>
    <message>
        <source>Destination filename not set</source>
        <translation>Geen doelbestandsnaam opgegeven</translation>
    </message>
    <message>
        <source>No destination type(s) selected</source>
        <translation>Geen doeltype(n) gekozen</translation>
    </message>
    <message>
        <source>Destination type conflict, you can have only one destination format per file extension (duplicate extension: %1)</source>
        <translation>Conflict tussen doeltypen: per bestandsextensie is maar één doelformaat mogelijk (dubbele extensie: %1)</translation>
    </message>
    <message>
        <source>File %1 already exists. Do you want to overwrite?</source>
        <translation>Bestand %1 bestaat al. Wilt u het overschrijven?</translation>
    </message>
    <message>
        <source>No source files selected</source>
        <translation>Geen bronbestanden geselecteerd</translation>
    </message>
    <message>
        <source>Source directory does not exist</source>
        <translation>De bronmap bestaat niet</translation>
    </message>
    <message>
        <source>Destination directory does not exist</source>
        <translation>De doelmap bestaat niet</translation>
    </message>
    <message>
        <source>Multiple formats...</source>
        <translation>Meerdere formaten...</translation>
    </message>
    <message>
        <source>Please enter the longitude and latitude</source>
        <translation>Geef de lengte- en breedtegraad op</translation>
    </message>
    <message>
        <source>Unable to load cursor %1</source>
        <translation>Kan cursor %1 niet laden</translation>
    </message>
    <message>
        <source>Missing %1 node</source>
        <translation>Knooppunt %1 ontbreekt</translation>
    </message>
    <message>
        <source>Downloaded information invalid, please try again or use the Update button next to the sites list</source>
        <translation>De gedownloade informatie is ongeldig; probeer het opnieuw of gebruik de knop Bijwerken naast de lijst met sites</translation>
    </message>
    <message>
        <source>AutoUpdate item for %1 not found</source>
        <translation>AutoUpdate-item voor %1 niet gevonden</translation>
    </message>
    <message>
        <source>One or more target files are already updated by another item. Please remove the updating of these files before assigning them to other items</source>
        <translation>Een of meer doelbestanden worden al door een ander item bijgewerkt. Verwijder het bijwerken van deze bestanden voordat u ze aan andere items toewijst</translation>
    </message>
    <message>
        <source>The target file is already updated by another item. Please remove the updating of this file before assigning it to another item</source>
        <translation>Het doelbestand wordt al door een ander item bijgewerkt. Verwijder het bijwerken van dit bestand voordat u het aan een ander item toewijst</translation>
    </message>
    <message>
        <source>Are you sure you want to hide this site and remove all of its AutoUpdate items?</source>
        <translation>Weet u zeker dat u deze site wilt verbergen en al zijn AutoUpdate-items wilt verwijderen?</translation>
    </message>
    <message>
        <source>No hidden sites to show!</source>
        <translation>Er zijn geen verborgen sites om te tonen!</translation>
    </message>
    <message>
        <source>Are you sure you want to show all hidden sites?</source>
        <translation>Weet u zeker dat u alle verborgen sites wilt tonen?</translation>
    </message>
    <message>
        <source>Cannot find the site xml index file</source>
        <translation>Kan het xml-indexbestand van de site niet vinden</translation>
    </message>
    <message>
        <source>Site information of %1 has not yet been downloaded. Do you want to download it now?</source>
        <translation>De site-informatie van %1 is nog niet gedownload. Wilt u die nu downloaden?</translation>
    </message>
    <message>
        <source>Invalid location specified, the xml location must be prefixed with http:// for internet locations or file:// for local files</source>
        <translation>Ongeldige locatie opgegeven; de locatie van de xml moet beginnen met http:// voor internetlocaties of file:// voor lokale bestanden</translation>
    </message>
    <message>
        <source>Are you sure you want to unsubscribe these files from AutoUpdate?</source>
        <translation>Weet u zeker dat u het abonnement op AutoUpdate van deze bestanden wilt opzeggen?</translation>
    </message>
    <message>
        <source>Selection contains local and PDA files. Please only select local OR PDA files</source>
        <translation>De selectie bevat lokale bestanden en bestanden op de PDA. Kies alleen lokale OF alleen PDA-bestanden</translation>
    </message>
    <message>
        <source>The entered application does not exist on this location.</source>
        <translation>Het opgegeven programma bestaat niet op deze locatie.</translation>
    </message>
    <message>
        <source>No items in the selection configured with a Mobile Device as their target, please check the destination of the AutoUpdate items</source>
        <translation>De selectie bevat geen items met een mobiel apparaat als doel; controleer het doel van de AutoUpdate-items</translation>
    </message>
    <message>
        <source>AutoUpdate configuration saved to your Mobile Device.</source>
        <translation>De AutoUpdate-configuratie is op uw mobiele apparaat opgeslagen.</translation>
    </message>
    <message>
        <source>[Other]</source>
        <translation>[Overige]</translation>
    </message>
    <message>
        <source>[All]</source>
        <translation>[Alle]</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Geen</translation>
    </message>
    <message>
        <source>Registered</source>
        <translation>Geregistreerd</translation>
    </message>
    <message>
        <source>Subscribed</source>
        <translation>Geabonneerd</translation>
    </message>
    <message>
        <source>Checking for new version...</source>
        <translation>Controleren op nieuwe versie...</translation>
    </message>
    <message>
        <source>Downloading or getting cached version...</source>
        <translation>Downloaden of versie uit cache ophalen...</translation>
    </message>
    <message>
        <source>Saving new version...</source>
        <translation>Nieuwe versie opslaan...</translation>
    </message>
    <message>
        <source>Downloading image...</source>
        <translation>Afbeelding downloaden...</translation>
    </message>
    <message>
        <source>Saving image...</source>
        <translation>Afbeelding opslaan...</translation>
    </message>
    <message>
        <source>Finishing...</source>
        <translation>Afronden...</translation>
    </message>
    <message>
        <source>while querying item</source>
        <translation>bij het opvragen van het item</translation>
    </message>
    <message>
        <source>while downloading item</source>
        <translation>bij het downloaden van het item</translation>
    </message>
    <message>
        <source> image</source>
        <translation> afbeelding</translation>
    </message>
    <message>
        <source>Please check your internet connection</source>
        <translation>Controleer uw internetverbinding</translation>
    </message>
    <message>
        <source>When your connection works, the site itself may be down for a while; the site list of the program&apos;s home page tells which sites are known to be unavailable</source>
        <translation>Als uw verbinding werkt, is de site zelf misschien tijdelijk onbereikbaar; de lijst met sites op de homepage van het programma vermeldt welke sites bekend onbereikbaar zijn</translation>
    </message>
    <message>
        <source>Download cancelled by user</source>
        <translation>Downloaden door gebruiker geannuleerd</translation>
    </message>
    <message>
        <source>Invalid target filename</source>
        <translation>Ongeldige doelbestandsnaam</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid date and time</source>
        <translation>&apos;%1&apos; is geen geldige datum en tijd</translation>
    </message>
    <message>
        <source>Could not store time in %1</source>
        <translation>Kan de tijd niet opslaan in %1</translation>
    </message>
    <message>
        <source>Could not write time to %1</source>
        <translation>Kan de tijd niet schrijven naar %1</translation>
    </message>
    <message>
        <source>Could not read or check file for existence</source>
        <translation>Kan het bestand niet lezen of controleren of het bestaat</translation>
    </message>
    <message>
        <source>Waiting to be processed...</source>
        <translation>Wacht op verwerking...</translation>
    </message>
    <message>
        <source>Starting...</source>
        <translation>Starten...</translation>
    </message>
    <message>
        <source>Updating file %1 of %2</source>
        <translation>Bestand %1 van %2 bijwerken</translation>
    </message>
    <message>
        <source>Checking updated site xml file...</source>
        <translation>Bijgewerkt xml-bestand van de site controleren...</translation>
    </message>
    <message>
        <source>Checked site xml file...</source>
        <translation>Xml-bestand van de site gecontroleerd...</translation>
    </message>
    <message>
        <source>Unable to download associated site xml</source>
        <translation>Kan de bijbehorende xml van de site niet downloaden</translation>
    </message>
    <message>
        <source>Checking...</source>
        <translation>Controleren...</translation>
    </message>
    <message>
        <source>Updated</source>
        <translation>Bijgewerkt</translation>
    </message>
    <message>
        <source>Already up to date</source>
        <translation>Al actueel</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Mislukt</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Geannuleerd</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>Klaar</translation>
    </message>
    <message>
        <source>Do you want to continue?</source>
        <translation>Wilt u doorgaan?</translation>
    </message>
    <message>
        <source>Continue on subsequent errors</source>
        <translation>Doorgaan bij volgende fouten</translation>
    </message>
    <message>
        <source>%1 updated</source>
        <translation>%1 bijgewerkt</translation>
    </message>
    <message>
        <source>%1 already up-to-date</source>
        <translation>%1 al actueel</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>%1 mislukt</translation>
    </message>
    <message>
        <source>%1 skipped</source>
        <translation>%1 overgeslagen</translation>
    </message>
    <message>
        <source>Cannot execute the AutoUpdate application that is specified in the AutoUpdate manager settings:<byte value="xd"/>%1<byte value="xd"/><byte value="xd"/>Please check if the application exists in the specified location.</source>
        <translation>Kan het programma dat in de instellingen van AutoUpdate-beheer is opgegeven niet starten:<byte value="xd"/>%1<byte value="xd"/><byte value="xd"/>Controleer of het programma op de opgegeven locatie bestaat.</translation>
    </message>
    <message>
        <source>Retrieving version information...</source>
        <translation>Versie-informatie ophalen...</translation>
    </message>
    <message>
        <source>Unable to retrieve online version information.</source>
        <translation>Kan de online versie-informatie niet ophalen.</translation>
    </message>
    <message>
        <source>Online version information invalid</source>
        <translation>Online versie-informatie ongeldig</translation>
    </message>
    <message>
        <source>You have the latest version of %1.</source>
        <translation>U hebt de nieuwste versie van %1.</translation>
    </message>
    <message>
        <source>No address of the version document is set. Set &quot;VersionUrl&quot; in the settings file</source>
        <translation>Er is geen adres van het versiedocument ingesteld. Stel &quot;VersionUrl&quot; in het instellingenbestand in</translation>
    </message>
    <message>
        <source>Error checking for new version</source>
        <translation>Fout bij het controleren op een nieuwe versie</translation>
    </message>
    <message>
        <source>No additional information available...</source>
        <translation>Geen aanvullende informatie beschikbaar...</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the AutoUpdate Wizard?</source>
        <translation>Weet u zeker dat u de AutoUpdate-wizard wilt annuleren?</translation>
    </message>
    <message>
        <source>Other groups...</source>
        <translation>Andere groepen...</translation>
    </message>
    <message>
        <source>The system cannot find the file specified</source>
        <translation>Het systeem kan het opgegeven bestand niet vinden</translation>
    </message>
    <message>
        <source>The system cannot find the path specified</source>
        <translation>Het systeem kan het opgegeven pad niet vinden</translation>
    </message>
    <message>
        <source>Access is denied</source>
        <translation>Toegang geweigerd</translation>
    </message>
    <message>
        <source>The handle is invalid</source>
        <translation>De ingang is ongeldig</translation>
    </message>
    <message>
        <source>The system cannot move the file to a different disk drive</source>
        <translation>Het systeem kan het bestand niet naar een ander station verplaatsen</translation>
    </message>
    <message>
        <source>The file exists</source>
        <translation>Het bestand bestaat al</translation>
    </message>
    <message>
        <source>The parameter is incorrect</source>
        <translation>De parameter is onjuist</translation>
    </message>
    <message>
        <source>There is not enough space on the disk</source>
        <translation>Er is niet genoeg ruimte op de schijf</translation>
    </message>
    <message>
        <source>Cannot create a file when that file already exists</source>
        <translation>Kan geen bestand maken dat al bestaat</translation>
    </message>
    <message>
        <source>Error %1</source>
        <translation>Fout %1</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Verbergen</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Wissen</translation>
    </message>
    <message>
        <source>Insert</source>
        <translation>Invoegen</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Hernoemen</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bewerken</translation>
    </message>
    <message>
        <source>Set Position</source>
        <translation>Positie instellen</translation>
    </message>
    <message>
        <source>Sort</source>
        <translation>Sorteren</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Plakken</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>Verplaatsen</translation>
    </message>
    <message>
        <source>Drop</source>
        <translation>Neerzetten</translation>
    </message>
    <message>
        <source>Append</source>
        <translation>Toevoegen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Verwijderen</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Knippen</translation>
    </message>
    <message>
        <source>Delete Duplicates</source>
        <translation>Dubbele items verwijderen</translation>
    </message>
    <message>
        <source>Loading of calibration data failed: %1<byte value="xd"/><byte value="xd"/>Please calibrate the map properly.</source>
        <translation>Het laden van de kalibratiegegevens is mislukt: %1<byte value="xd"/><byte value="xd"/>Kalibreer de kaart opnieuw en zorgvuldig.</translation>
    </message>
    <message>
        <source>needs calibration</source>
        <translation>moet gekalibreerd worden</translation>
    </message>
    <message>
        <source>First select a Calibration Point in the &quot;Calibrate...&quot; dialog</source>
        <translation>Kies eerst een kalibratiepunt in het venster &quot;Kalibreren...&quot;</translation>
    </message>
    <message>
        <source>%1<byte value="xd"/>Lat/Lon: %2/%3</source>
        <translation>%1<byte value="xd"/>Br./Lg.: %2/%3</translation>
    </message>
    <message>
        <source>Turns the cursor into move map mode</source>
        <translation>Zet de cursor in de modus voor het verplaatsen van de kaart</translation>
    </message>
    <message>
        <source>Turns the cursor into set position mode</source>
        <translation>Zet de cursor in de modus voor het instellen van een positie</translation>
    </message>
    <message>
        <source>The plugin %1 failed without saying why</source>
        <translation>De plug-in %1 is mislukt zonder een reden te geven</translation>
    </message>
    <message>
        <source>The plugin %1 failed: %2</source>
        <translation>De plug-in %1 is mislukt: %2</translation>
    </message>
    <message>
        <source>the answer is larger than %1 KiB</source>
        <translation>het antwoord is groter dan %1 KiB</translation>
    </message>
    <message>
        <source>only web addresses (http, https) are downloaded</source>
        <translation>alleen webadressen (http, https) worden gedownload</translation>
    </message>
    <message>
        <source>The site names the address %1, which was refused: a site on the web may only name web addresses (http, https)</source>
        <translation>De site noemt het adres %1, dat is geweigerd: een site op het web mag alleen webadressen (http, https) noemen</translation>
    </message>
    <message>
        <source>The site names the address %1, which was refused: a local site may only name local (FILE://) and web (http, https) addresses</source>
        <translation>De site noemt het adres %1, dat is geweigerd: een lokale site mag alleen lokale (FILE://) en webadressen (http, https) noemen</translation>
    </message>
    <message>
        <source>The plugin %1 was not loaded: others can write to %2</source>
        <translation>De plug-in %1 is niet geladen: anderen kunnen %2 wijzigen</translation>
    </message>
    <message>
        <source>The plugin %1 was not loaded: it belongs to neither you nor root</source>
        <translation>De plug-in %1 is niet geladen: hij is niet van u en niet van root</translation>
    </message>
    <message>
        <source>Could not save the settings to %1: the disk may be full, or the file may not be writable</source>
        <translation>Kan de instellingen niet opslaan in %1: de schijf is misschien vol, of het bestand is niet beschrijfbaar</translation>
    </message>
    <message>
        <source>Could not create the lock file %1</source>
        <translation>Kan het vergrendelbestand %1 niet aanmaken</translation>
    </message>
    <message>
        <source>AutoUpdate item %1 is not stored as text and was skipped</source>
        <translation>AutoUpdate-item %1 is niet als tekst opgeslagen en is overgeslagen</translation>
    </message>
    <message>
        <source>Another program keeps the AutoUpdate items locked; please try again later</source>
        <translation>Een ander programma houdt de AutoUpdate-items vergrendeld; probeer het later opnieuw</translation>
    </message>
    <message>
        <source>Another AutoUpdate run is busy; please try again when it has finished</source>
        <translation>Er loopt al een andere AutoUpdate; probeer het opnieuw wanneer die klaar is</translation>
    </message>
    <message>
        <source>%1 and %2 would both be written to %3</source>
        <translation>%1 en %2 zouden allebei naar %3 geschreven worden</translation>
    </message>
    <message>
        <source>Cannot read file %1: %2</source>
        <translation>Kan bestand %1 niet lezen: %2</translation>
    </message>
    <message>
        <source>the server redirected to %1, which is no web address</source>
        <translation>de server verwees door naar %1, dat geen webadres is</translation>
    </message>
    <message>
        <source>%1 byte sequence that is no UTF-8 was read as &quot;�&quot;</source>
        <translation>%1 bytereeks die geen UTF-8 is, werd gelezen als &quot;�&quot;</translation>
    </message>
    <message>
        <source>%1 byte sequences that are no UTF-8 were read as &quot;�&quot;</source>
        <translation>%1 bytereeksen die geen UTF-8 zijn, werden gelezen als &quot;�&quot;</translation>
    </message>
    <message>
        <source>The XML text declares the encoding &quot;%1&quot;, which Marivel cannot read</source>
        <translation>De XML-tekst geeft de codering &quot;%1&quot; op, die Marivel niet kan lezen</translation>
    </message>
    <message>
        <source>Extra information with the namespace prefix &quot;%1:&quot;, which the file never declares, was left out, as other programs refuse such XML</source>
        <translation>Extra informatie met het naamruimtevoorvoegsel &quot;%1:&quot;, dat het bestand nergens declareert, is weggelaten, omdat andere programma&apos;s zulke XML weigeren</translation>
    </message>
    <message>
        <source>%1, in %2 entry: %3</source>
        <translation>%1, in %2 item: %3</translation>
    </message>
    <message>
        <source>%1, in %2 entries: %3</source>
        <translation>%1, in %2 items: %3</translation>
    </message>
    <message>
        <source>The library that reaches the device (%1) could not be loaded; please reinstall Marivel</source>
        <translation>De bibliotheek die het apparaat bereikt (%1) kon niet worden geladen; installeer Marivel opnieuw</translation>
    </message>
    <message>
        <source>No device found%1. Connect and mount the navigator or its memory card, or choose the folder that stands for the device in Tools &gt; Preferences &gt; General &gt; Device Folder</source>
        <translation>Geen apparaat gevonden%1. Sluit de navigator of zijn geheugenkaart aan en koppel die, of kies de map die voor het apparaat staat in Extra &gt; Voorkeuren &gt; Algemeen &gt; Map op apparaat</translation>
    </message>
    <message>
        <source>The site refused the request: check the site&apos;s username and password (AutoUpdate Manager, &quot;Set/Change password...&quot;)</source>
        <translation>De site weigerde het verzoek: controleer de gebruikersnaam en het wachtwoord van de site (AutoUpdate-beheer, &quot;Wachtwoord instellen...&quot;)</translation>
    </message>
    <message>
        <source>The server has nothing at this address: check the address, or update the site&apos;s index (AutoUpdate Manager, &quot;Update&quot;)</source>
        <translation>De server heeft niets op dit adres: controleer het adres, of werk de index van de site bij (AutoUpdate-beheer, &quot;Bijwerken&quot;)</translation>
    </message>
    <message>
        <source>%1 is not a POI site index (%2): check the site&apos;s address</source>
        <translation>%1 is geen index van een POI-site (%2): controleer het adres van de site</translation>
    </message>
    <message>
        <source>Skipped: the file exists, and a run at the tray asks no questions (&quot;Always overwrite&quot; in the AutoUpdate Manager&apos;s settings lets it replace the file)</source>
        <translation>Overgeslagen: het bestand bestaat al, en een run vanuit het systeemvak stelt geen vragen (met &quot;Altijd overschrijven&quot; in de instellingen van AutoUpdate-beheer vervangt hij het bestand)</translation>
    </message>
    <message>
        <source>All supported file types</source>
        <translation>Alle ondersteunde bestandstypen</translation>
    </message>
    <message>
        <source>Save using maximum precision</source>
        <translation>Opslaan met de hoogste nauwkeurigheid</translation>
    </message>
    <message>
        <source>The precision of the POI coordinates is adjustable in the Marivel configuration screen. When<byte value="xd"/>this option is checked, the coordinates will be saved using the specified precision, else they<byte value="xd"/>will be saved using the default precision of 5 decimals.</source>
        <translation>De nauwkeurigheid van de POI-coördinaten is in te stellen in het configuratievenster van Marivel. Als<byte value="xd"/>deze optie aan staat, worden de coördinaten met die nauwkeurigheid opgeslagen, anders<byte value="xd"/>met de standaardnauwkeurigheid van 5 decimalen.</translation>
    </message>
    <message>
        <source>Treat column 3 as the description</source>
        <translation>Kolom 3 als omschrijving gebruiken</translation>
    </message>
    <message>
        <source>Garmin CSV files can contain 3 or 4 columns. The last 1 or 2 columns are used for the<byte value="xd"/>description field inside Marivel. When this option is checked, Marivel will be forced to treat<byte value="xd"/>the third column as the description instead of using the fourth when it is available.</source>
        <translation>Garmin CSV-bestanden kunnen 3 of 4 kolommen hebben. De laatste 1 of 2 kolommen worden gebruikt voor de<byte value="xd"/>omschrijving in Marivel. Als deze optie aan staat, gebruikt Marivel altijd<byte value="xd"/>de derde kolom als omschrijving in plaats van de vierde, als die er is.</translation>
    </message>
    <message>
        <source>Use desc tag instead of name tag when available</source>
        <translation>De desc-tag gebruiken in plaats van de name-tag als die er is</translation>
    </message>
    <message>
        <source>The GPX format defines 2 possible places where the description of the POI may be entered.<byte value="xd"/>If you check this option, Marivel will use the &quot;desc&quot; tag as the POI description instead of the<byte value="xd"/>&quot;name&quot; tag. When the preferred tag is not available, Marivel will automatically try the other tag.</source>
        <translation>Het GPX-formaat kent 2 plaatsen waar de omschrijving van de POI kan staan.<byte value="xd"/>Als deze optie aan staat, gebruikt Marivel de tag &quot;desc&quot; als omschrijving van de POI in plaats van de<byte value="xd"/>tag &quot;name&quot;. Als de voorkeurstag er niet is, probeert Marivel automatisch de andere tag.</translation>
    </message>
    <message>
        <source>Retain extra poi information present in GPX file</source>
        <translation>Extra POI-gegevens uit het GPX-bestand bewaren</translation>
    </message>
    <message>
        <source>If you check this option, Marivel will load the extra POI information that might be present in<byte value="xd"/>the GPX file. When saving back to the same file, or another GPX file, Marivel will reinsert<byte value="xd"/>this information.</source>
        <translation>Als deze optie aan staat, laadt Marivel de extra POI-gegevens die in<byte value="xd"/>het GPX-bestand kunnen staan. Bij opslaan naar hetzelfde of een ander GPX-bestand zet Marivel<byte value="xd"/>deze gegevens er weer in.</translation>
    </message>
    <message>
        <source>%1 to %2 values expected, %3 found</source>
        <translation>%1 tot %2 waarden verwacht, %3 gevonden</translation>
    </message>
    <message>
        <source>%1 values expected, %2 found</source>
        <translation>%1 waarden verwacht, %2 gevonden</translation>
    </message>
    <message>
        <source>at least %1 values expected, %2 found</source>
        <translation>minstens %1 waarden verwacht, %2 gevonden</translation>
    </message>
    <message>
        <source>Line %1 does not fit this format: %2. Open the file in the format it was written in, or correct that line</source>
        <translation>Regel %1 past niet bij dit formaat: %2. Open het bestand in het formaat waarin het is geschreven, of verbeter die regel</translation>
    </message>
    <message>
        <source>The selected site is not supported by this version of Marivel. You need to update to a newer version of Marivel (minimal version %1) to use this site</source>
        <translation>De gekozen site wordt door deze versie van Marivel niet ondersteund. Werk Marivel bij naar een nieuwere versie (minimaal versie %1) om deze site te gebruiken</translation>
    </message>
    <message>
        <source>The extension &quot;%1&quot; of the file name does not match the chosen file type.</source>
        <translation>De extensie &quot;%1&quot; van de bestandsnaam past niet bij het gekozen bestandstype.</translation>
    </message>
    <message>
        <source>When the data is saved as &quot;%1&quot;, one or more coordinates lose their precision, because this format uses a precision of %2 decimals.<byte value="xd"/><byte value="xd"/>Do you want to continue the save?</source>
        <translation>Als de gegevens als &quot;%1&quot; worden opgeslagen, verliezen een of meer coördinaten nauwkeurigheid, omdat dit formaat een nauwkeurigheid van %2 decimalen gebruikt.<byte value="xd"/><byte value="xd"/>Wilt u doorgaan met opslaan?</translation>
    </message>
    <message>
        <source>An error occurred during conversion:<byte value="xd"/><byte value="xd"/>%1<byte value="xd"/><byte value="xd"/>Do you want to continue the conversion?</source>
        <translation>Er is een fout opgetreden bij het converteren:<byte value="xd"/><byte value="xd"/>%1<byte value="xd"/><byte value="xd"/>Wilt u doorgaan met converteren?</translation>
    </message>
    <message>
        <source>Batch conversion finished: %1 converted, %2 failed, %3 skipped.</source>
        <translation>Batchconversie klaar: %1 geconverteerd, %2 mislukt, %3 overgeslagen.</translation>
    </message>
    <message>
        <source>These files failed:</source>
        <translation>Deze bestanden zijn mislukt:</translation>
    </message>
    <message>
        <source>N</source>
        <translation>N</translation>
    </message>
    <message>
        <source>S</source>
        <translation>Z</translation>
    </message>
    <message>
        <source>E</source>
        <translation>O</translation>
    </message>
    <message>
        <source>W</source>
        <translation>W</translation>
    </message>
    <message>
        <source>The calibration points are very close to each other, so precise location calculations cannot be guaranteed. Are you sure you want to use this calibration?</source>
        <translation>De kalibratiepunten liggen heel dicht bij elkaar, waardoor posities niet nauwkeurig berekend kunnen worden. Weet u zeker dat u deze kalibratie wilt gebruiken?</translation>
    </message>
    <message>
        <source>Allows you to select the POIs on the map by clicking and dragging the mouse</source>
        <translation>Hiermee selecteert u POI&apos;s op de kaart door met de muis te klikken en te slepen</translation>
    </message>
    <message>
        <source>To activate the chosen language, the application needs to be restarted. Do you want to close the application now?</source>
        <translation>Om de gekozen taal te activeren, moet het programma opnieuw worden gestart. Wilt u het programma nu afsluiten?</translation>
    </message>
    <message>
        <source>POI item not found in the site xml</source>
        <translation>POI-item niet gevonden in de xml van de site</translation>
    </message>
    <message>
        <source>The specified target directory causes 2 or more AutoUpdate items to update the same file. Please change or remove the target of the conflicting items first</source>
        <translation>Met de opgegeven doelmap zouden 2 of meer AutoUpdate-items hetzelfde bestand bijwerken. Wijzig of verwijder eerst het doel van de conflicterende items</translation>
    </message>
    <message>
        <source>This address already exists in the site list</source>
        <translation>Dit adres staat al in de lijst met sites</translation>
    </message>
    <message>
        <source>Are you sure you want to remove this site and all its AutoUpdate items?</source>
        <translation>Weet u zeker dat u deze site en al zijn AutoUpdate-items wilt verwijderen?</translation>
    </message>
    <message>
        <source>File %1 no longer exists. Please restore it or remove it from the AutoUpdate Manager site list</source>
        <translation>Bestand %1 bestaat niet meer. Zet het terug of verwijder het uit de lijst met sites van AutoUpdate-beheer</translation>
    </message>
    <message>
        <source>One or more files already exist. Setting these files to AutoUpdate causes them to be overwritten on the next update. Do you really want these files to be updated automatically?</source>
        <translation>Een of meer bestanden bestaan al. Met AutoUpdate worden deze bestanden bij de volgende update overschreven. Wilt u deze bestanden echt automatisch laten bijwerken?</translation>
    </message>
    <message>
        <source>At this moment PocketMarivel cannot convert between POI file formats, therefore the format of item %1 must match the format in which the site offers this POI (which is %2).<byte value="xd"/><byte value="xd"/>Please review your settings and try again.</source>
        <translation>PocketMarivel kan op dit moment niet tussen POI-formaten converteren. Daarom moet het formaat van item %1 gelijk zijn aan het formaat waarin de site deze POI aanbiedt (namelijk %2).<byte value="xd"/><byte value="xd"/>Controleer uw instellingen en probeer het opnieuw.</translation>
    </message>
    <message>
        <source>Make sure you have installed Pocket Marivel, it is installed either to the default directory, or to an alternate install directory (as set up in the Settings tab of the AutoUpdate Manager)</source>
        <translation>Controleer of Pocket Marivel is geïnstalleerd, in de standaardmap of in een andere installatiemap (zoals ingesteld op het tabblad Instellingen van AutoUpdate-beheer)</translation>
    </message>
    <message>
        <source>AutoUpdate item &quot;%1&quot; does not exist (or no longer exists) in the downloaded site&apos;s index. Please remove it from the &quot;All Items&quot; tab in the AutoUpdate Manager</source>
        <translation>AutoUpdate-item &quot;%1&quot; bestaat niet (meer) in de gedownloade index van de site. Verwijder het op het tabblad &quot;Alle items&quot; van AutoUpdate-beheer</translation>
    </message>
    <message>
        <source>The following error occurred:</source>
        <translation>De volgende fout is opgetreden:</translation>
    </message>
    <message>
        <source>while checking for a newer version of this POI file</source>
        <translation>bij het controleren op een nieuwere versie van dit POI-bestand</translation>
    </message>
    <message>
        <source>Cannot download &quot;%1&quot; because of the following error: <byte value="xd"/><byte value="xd"/>%2.</source>
        <translation>Kan &quot;%1&quot; niet downloaden door de volgende fout: <byte value="xd"/><byte value="xd"/>%2.</translation>
    </message>
    <message>
        <source>The up-to-date POI was downloaded successfully. Are you sure you want to overwrite the existing one (%1)?</source>
        <translation>De actuele POI is gedownload. Weet u zeker dat u de bestaande (%1) wilt overschrijven?</translation>
    </message>
    <message>
        <source>Invalid address %1</source>
        <translation>Ongeldig adres %1</translation>
    </message>
    <message>
        <source>There is a new version of %1 available for download. Do you wish to go to the download page on %2?</source>
        <translation>Er is een nieuwe versie van %1 te downloaden. Wilt u naar de downloadpagina op %2 gaan?</translation>
    </message>
    <message>
        <source>No sites detected that support committing POIs. Please update the site you are trying to commit to by clicking &quot;Update&quot; in the AutoUpdate manager screen</source>
        <translation>Geen sites gevonden die het insturen van POI&apos;s ondersteunen. Werk de site waarnaar u wilt insturen bij met &quot;Bijwerken&quot; in het venster van AutoUpdate-beheer</translation>
    </message>
    <message>
        <source>Your POI was committed successfully to %1...</source>
        <translation>Uw POI is ingestuurd naar %1...</translation>
    </message>
    <message>
        <source>Cannot commit to &quot;%1&quot; because of the following error: <byte value="xd"/><byte value="xd"/>%2.</source>
        <translation>Kan niet insturen naar &quot;%1&quot; door de volgende fout: <byte value="xd"/><byte value="xd"/>%2.</translation>
    </message>
    <message>
        <source>You have already set up AutoUpdate POI items from this site. To continue you need to clear these. Do you want to do this?</source>
        <translation>U hebt al AutoUpdate-items van deze site ingesteld. Om door te gaan moeten die worden gewist. Wilt u dat doen?</translation>
    </message>
    <message>
        <source>To set up other groups not available in the Wizard, the Wizard needs to be closed and the AutoUpdate Manager needs to be opened. Do you want to do this?</source>
        <translation>Om andere groepen in te stellen die de wizard niet biedt, moet de wizard worden gesloten en AutoUpdate-beheer worden geopend. Wilt u dat doen?</translation>
    </message>
    <message>
        <source>No groups available: all POIs within this country are selected...</source>
        <translation>Geen groepen beschikbaar: alle POI&apos;s in dit land zijn al gekozen...</translation>
    </message>
    <message>
        <source>You must first set up your AutoUpdate items using the AutoUpdate Wizard or Manager</source>
        <translation>Stel eerst uw AutoUpdate-items in met de AutoUpdate-wizard of AutoUpdate-beheer</translation>
    </message>
    <message>
        <source>One or more plugins could not be loaded</source>
        <translation>Een of meer plug-ins konden niet worden geladen</translation>
    </message>
    <message>
        <source>Could not add the POI to %1 because of the following error:<byte value="xd"/>&quot;%2&quot;</source>
        <translation>Kan de POI niet aan %1 toevoegen door de volgende fout:<byte value="xd"/>&quot;%2&quot;</translation>
    </message>
    <message>
        <source>A latitude lies from -90 to 90 degrees, not %1</source>
        <translation>Een breedtegraad ligt tussen -90 en 90 graden, niet %1</translation>
    </message>
    <message>
        <source>A longitude lies from -180 to 180 degrees, not %1</source>
        <translation>Een lengtegraad ligt tussen -180 en 180 graden, niet %1</translation>
    </message>
    <message>
        <source>%1 of %2 entries hold characters that the code page %3 lacks: %4.

Yes: save them with &quot;?&quot; in their place.
No: save the file in UTF-8, which keeps every character (not every navigator shows it).
Cancel: do not save.</source>
        <translation>%1 van %2 items bevatten tekens die codetabel %3 niet kent: %4.

Ja: opslaan met &quot;?&quot; op hun plaats.
Nee: het bestand opslaan in UTF-8, dat elk teken behoudt (niet elke navigator toont het).
Annuleren: niet opslaan.</translation>
    </message>
    <message>
        <source>Text encoding of 8-bit files:</source>
        <translation>Tekstcodering van 8-bits bestanden:</translation>
    </message>
    <message>
        <source>Invalid GeoJSON at byte %1: %2</source>
        <translation>Ongeldige GeoJSON bij byte %1: %2</translation>
    </message>
    <message>
        <source>Invalid GeoJSON: nesting deeper than %1 levels</source>
        <translation>Ongeldige GeoJSON: dieper genest dan %1 niveaus</translation>
    </message>
    <message>
        <source>This JSON text is no GeoJSON: its outermost value is not an object with a GeoJSON &quot;type&quot;</source>
        <translation>Deze JSON-tekst is geen GeoJSON: de buitenste waarde is geen object met een GeoJSON-&quot;type&quot;</translation>
    </message>
    <message>
        <source>Invalid GeoJSON before byte %1: the coordinates of a Point or MultiPoint are not positions of two numbers or more</source>
        <translation>Ongeldige GeoJSON vóór byte %1: de coördinaten van een Point of MultiPoint zijn geen posities van twee of meer getallen</translation>
    </message>
    <message>
        <source>%1 geometry that is no point, or feature without geometry, was skipped</source>
        <translation>%1 geometrie die geen punt is, of feature zonder geometrie, is overgeslagen</translation>
    </message>
    <message>
        <source>%1 geometries that are no points, and features without geometry, were skipped</source>
        <translation>%1 geometrieën die geen punten zijn, en features zonder geometrie, zijn overgeslagen</translation>
    </message>
    <message>
        <source>This is no KMZ file: it is not a zip archive (%1)</source>
        <translation>Dit is geen KMZ-bestand: het is geen zip-archief (%1)</translation>
    </message>
    <message>
        <source>The KMZ archive holds no KML file</source>
        <translation>Het KMZ-archief bevat geen KML-bestand</translation>
    </message>
    <message>
        <source>The KML file %1 in the KMZ archive unpacks to more than 1 GiB or to more than 100 times its packed size, and is refused</source>
        <translation>Het KML-bestand %1 in het KMZ-archief pakt uit tot meer dan 1 GiB of tot meer dan 100 keer zijn ingepakte grootte, en wordt geweigerd</translation>
    </message>
    <message>
        <source>Cannot unpack %1 from the KMZ archive: %2</source>
        <translation>Kan %1 niet uit het KMZ-archief uitpakken: %2</translation>
    </message>
    <message>
        <source>Cannot make the KMZ archive: %1</source>
        <translation>Kan het KMZ-archief niet maken: %1</translation>
    </message>
    <message>
        <source>Invalid gpi file</source>
        <translation>Ongeldig gpi-bestand</translation>
    </message>
    <message>
        <source>This GPI file is encrypted or uses an unknown code page and cannot be read</source>
        <translation>Dit GPI-bestand is versleuteld of gebruikt een onbekende codetabel en kan niet worden gelezen</translation>
    </message>
    <message>
        <source>Garmin POI files hold texts in windows-1250 to windows-1257, not in %1. Choose one of these code pages, or uncheck the option &quot;%2&quot;</source>
        <translation>Garmin POI-bestanden bevatten teksten in windows-1250 tot en met windows-1257, niet in %1. Kies een van deze codetabellen, of zet de optie &quot;%2&quot; uit</translation>
    </message>
    <message>
        <source>Write texts in the Windows code page for older devices</source>
        <translation>Teksten in de Windows-codetabel schrijven voor oudere apparaten</translation>
    </message>
    <message>
        <source>Current Garmin devices read texts in UTF-8. Older ones need a Windows code page: when this<byte value="xd"/>option is checked, texts are written in the code page chosen in the preferences, which must be<byte value="xd"/>one of windows-1250 to windows-1257.</source>
        <translation>Huidige Garmin-apparaten lezen teksten in UTF-8. Oudere hebben een Windows-codetabel nodig: als deze<byte value="xd"/>optie aan staat, worden teksten geschreven in de codetabel die in de voorkeuren is gekozen; dat moet<byte value="xd"/>een van windows-1250 tot en met windows-1257 zijn.</translation>
    </message>
    <message>
        <source>Write no alerts for descriptions ending in @speed</source>
        <translation>Geen waarschuwingen schrijven voor omschrijvingen die op @snelheid eindigen</translation>
    </message>
    <message>
        <source>Alert speeds are in mph</source>
        <translation>Waarschuwingssnelheden zijn in mijl per uur</translation>
    </message>
    <message>
        <source>When this option is checked, the speed after the @ of a description is in miles per hour,<byte value="xd"/>else in kilometres per hour.</source>
        <translation>Als deze optie aan staat, is de snelheid na de @ van een omschrijving in mijl per uur,<byte value="xd"/>anders in kilometer per uur.</translation>
    </message>
    <message>
        <source>Map tiles cannot be loaded: %1</source>
        <translation>Kaarttegels kunnen niet worden geladen: %1</translation>
    </message>
    <message>
        <source>The tile address must contain {z}, {x} and {y}, for the zoom, column and row of a tile.</source>
        <translation>Het tegeladres moet {z}, {x} en {y} bevatten, voor het zoomniveau, de kolom en de rij van een tegel.</translation>
    </message>
    <message>
        <source>the server sent no picture the map can show</source>
        <translation>de server stuurde geen afbeelding die de kaart kan tonen</translation>
    </message>
    <message>
        <source>Option %1 (&quot;%2&quot;) takes on or off, not &quot;%3&quot;</source>
        <translation>Optie %1 (&quot;%2&quot;) neemt on of off, niet &quot;%3&quot;</translation>
    </message>
    <message>
        <source>Option %1 (&quot;%2&quot;) takes a whole number from %3 to %4, not &quot;%5&quot;</source>
        <translation>Optie %1 (&quot;%2&quot;) neemt een geheel getal van %3 tot en met %4, niet &quot;%5&quot;</translation>
    </message>
    <message>
        <source>A description ending in @ and a speed, such as &quot;Flitser A2@100&quot;, gets a speed alert of that<byte value="xd"/>speed and a proximity alert at the proximity alert distance, as speed camera files have them,<byte value="xd"/>unless this option is checked.</source>
        <translation>Een omschrijving die eindigt op @ en een snelheid, zoals &quot;Flitser A2@100&quot;, krijgt een snelheidswaarschuwing<byte value="xd"/>voor die snelheid en een naderingswaarschuwing op de naderingsafstand, zoals flitspaalbestanden ze hebben,<byte value="xd"/>tenzij deze optie aan staat.</translation>
    </message>
    <message>
        <source>The bitmap %1 beside the file is not a BMP picture that can be read. Repair it, or move it away to write the file without a category picture</source>
        <translation>De bitmap %1 naast het bestand is geen leesbare BMP-afbeelding. Herstel hem, of zet hem elders om het bestand zonder categorieafbeelding te schrijven</translation>
    </message>
    <message>
        <source>The bitmap %1 beside the file is %2 by %3 pixels; a category picture has at most %4 pixels a side (devices show 24 by 24). Make it smaller, or move it away to write the file without a category picture</source>
        <translation>De bitmap %1 naast het bestand is %2 bij %3 pixels; een categorieafbeelding heeft hoogstens %4 pixels per zijde (apparaten tonen 24 bij 24). Maak hem kleiner, of zet hem elders om het bestand zonder categorieafbeelding te schrijven</translation>
    </message>
    <message>
        <source>Category name</source>
        <translation>Categorienaam</translation>
    </message>
    <message>
        <source>The name of the category that holds the points, as the device lists it. When empty, the<byte value="xd"/>category is named after the file written.</source>
        <translation>De naam van de categorie met de punten, zoals het apparaat hem toont. Leeg: de categorie<byte value="xd"/>heet naar het geschreven bestand.</translation>
    </message>
    <message>
        <source>Proximity alert distance in metres</source>
        <translation>Naderingsafstand in meter</translation>
    </message>
    <message>
        <source>How far from a point whose description ends in @speed the device starts to warn.</source>
        <translation>Op welke afstand van een punt waarvan de omschrijving eindigt op @snelheid het apparaat begint te waarschuwen.</translation>
    </message>
    <message>
        <source>Write the category bitmap beside the file</source>
        <translation>De categoriebitmap naast het bestand schrijven</translation>
    </message>
    <message>
        <source>When this option is checked, reading a file on this computer whose category has a bitmap<byte value="xd"/>writes it as a .bmp file of the same name beside the file, where saving to a device and<byte value="xd"/>writing Garmin POI files look for it. A different file of that name is never replaced.</source>
        <translation>Als deze optie is aangevinkt, schrijft het lezen van een bestand op deze computer waarvan de categorie<byte value="xd"/>een bitmap heeft, die bitmap als .bmp-bestand met dezelfde naam naast het bestand, waar opslaan<byte value="xd"/>op een apparaat en het schrijven van Garmin POI-bestanden hem zoeken. Een ander bestand met die naam wordt nooit vervangen.</translation>
    </message>
    <message>
        <source>The file&apos;s category bitmap is damaged or of a kind that cannot be read, so it was not written beside the file</source>
        <translation>De categoriebitmap van het bestand is beschadigd of van een soort die niet gelezen kan worden, en is daarom niet naast het bestand geschreven</translation>
    </message>
    <message>
        <source>The category bitmap was not written to %1: a different file of that name is there</source>
        <translation>De categoriebitmap is niet naar %1 geschreven: daar staat al een ander bestand met die naam</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>No address is set for this page.</source>
        <translation>Voor deze pagina is geen adres ingesteld.</translation>
    </message>
    <message>
        <source>No web browser could be started to show %1.</source>
        <translation>Er kon geen webbrowser worden gestart om %1 te tonen.</translation>
    </message>
    <message>
        <source>Local</source>
        <translation>Lokaal</translation>
    </message>
    <message>
        <source>Registered</source>
        <translation>Geregistreerd</translation>
    </message>
    <message>
        <source>Subscribed</source>
        <translation>Geabonneerd</translation>
    </message>
    <message>
        <source>Free</source>
        <translation>Gratis</translation>
    </message>
    <message>
        <source>Open in browser</source>
        <translation>Openen in browser</translation>
    </message>
    <message>
        <source>&amp;Show in</source>
        <translation>Ton&amp;en in</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>Ton&amp;en</translation>
    </message>
    <message>
        <source>&amp;Add to</source>
        <translation>T&amp;oevoegen aan</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>T&amp;oevoegen</translation>
    </message>
</context>
<context>
    <name>TCoordinateFields</name>
    <message>
        <source>Longitude:</source>
        <translation>Lengtegraad:</translation>
    </message>
    <message>
        <source>Latitude:</source>
        <translation>Breedtegraad:</translation>
    </message>
</context>
<context>
    <name>TEntryListModel</name>
    <message>
        <source>Description</source>
        <translation>Omschrijving</translation>
    </message>
    <message>
        <source>Latitude</source>
        <translation>Breedtegraad</translation>
    </message>
    <message>
        <source>Longitude</source>
        <translation>Lengtegraad</translation>
    </message>
</context>
<context>
    <name>TExamplePlugin</name>
    <message>
        <source>The example plugin takes only entries with a name</source>
        <translation>De plug-in Example neemt alleen punten met een naam aan</translation>
    </message>
    <message>
        <source>Example plugin</source>
        <translation>Plug-in Example</translation>
    </message>
    <message>
        <source>Nothing received yet.</source>
        <translation>Nog niets ontvangen.</translation>
    </message>
</context>
<context>
    <name>TJosmPlugin</name>
    <message>
        <source>JOSM Settings...</source>
        <translation>JOSM-instellingen...</translation>
    </message>
    <message>
        <source>The port JOSM&apos;s remote control listens on (JOSM&apos;s own is %1):</source>
        <translation>De poort waarop de afstandsbediening van JOSM luistert (standaard in JOSM: %1):</translation>
    </message>
</context>
<context>
    <name>TJosmRemote</name>
    <message>
        <source>JOSM does not answer on port %1 (%2). Start JOSM and switch on &quot;Enable remote control&quot; in its preferences, under Remote Control</source>
        <translation>JOSM antwoordt niet op poort %1 (%2). Start JOSM en zet in de voorkeuren van JOSM, onder Remote Control, &quot;Enable remote control&quot; aan</translation>
    </message>
    <message>
        <source>JOSM does not allow this request (%1). In JOSM&apos;s preferences, under Remote Control, allow it to load data and to create new objects</source>
        <translation>JOSM staat dit verzoek niet toe (%1). Sta in de voorkeuren van JOSM, onder Remote Control, het laden van gegevens en het aanmaken van nieuwe objecten toe</translation>
    </message>
    <message>
        <source>JOSM answered with error %1: %2</source>
        <translation>JOSM antwoordde met fout %1: %2</translation>
    </message>
</context>
<context>
    <name>TMDIChild</name>
    <message>
        <source>Description</source>
        <translation>Omschrijving</translation>
    </message>
    <message>
        <source>Lat</source>
        <translation>Br.</translation>
    </message>
    <message>
        <source>Lon</source>
        <translation>Lg.</translation>
    </message>
    <message>
        <source>Map</source>
        <translation>Kaart</translation>
    </message>
    <message>
        <source>Shows or hides the map</source>
        <translation>Toont of verbergt de kaart</translation>
    </message>
    <message>
        <source>&amp;Insert</source>
        <translation>&amp;Invoegen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Verwijderen</translation>
    </message>
    <message>
        <source>&amp;Rename Selected</source>
        <translation>Selectie &amp;hernoemen</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>Ton&amp;en</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>T&amp;oevoegen</translation>
    </message>
    <message>
        <source>Sho&amp;w in</source>
        <translation>Tone&amp;n in</translation>
    </message>
    <message>
        <source>Add &amp;to</source>
        <translation>Toevoegen &amp;aan</translation>
    </message>
</context>
<context>
    <name>TMapPanel</name>
    <message>
        <source>Zoom +</source>
        <translation>Zoom +</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Inzoomen</translation>
    </message>
    <message>
        <source>Zoom -</source>
        <translation>Zoom -</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Uitzoomen</translation>
    </message>
    <message>
        <source>Calibrate...</source>
        <translation>Kalibreren...</translation>
    </message>
    <message>
        <source>Maps...</source>
        <translation>Kaarten...</translation>
    </message>
    <message>
        <source>Where to find map pictures and how to add them</source>
        <translation>Waar u kaartafbeeldingen vindt en hoe u ze toevoegt</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>Verplaatsen</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Positie</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Selecteren</translation>
    </message>
</context>
<context>
    <name>TOsmPlugin</name>
    <message>
        <source>The OpenStreetMap address pattern does not make a valid address: %1</source>
        <translation>Het adrespatroon voor OpenStreetMap levert geen geldig adres op: %1</translation>
    </message>
    <message>
        <source>No web browser could be started for %1</source>
        <translation>Er kon geen webbrowser worden gestart voor %1</translation>
    </message>
    <message>
        <source>OpenStreetMap cannot take new entries</source>
        <translation>OpenStreetMap kan geen nieuwe punten aannemen</translation>
    </message>
</context>
<context>
    <name>TTileView</name>
    <message>
        <source>© OpenStreetMap contributors</source>
        <translation>© OpenStreetMap-bijdragers</translation>
    </message>
</context>
<context>
    <name>TfmAbout</name>
    <message>
        <source>About Marivel</source>
        <translation>Over Marivel</translation>
    </message>
    <message>
        <source>The POI editor and converter</source>
        <translation>De POI-editor en -converter</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Versie %1</translation>
    </message>
    <message>
        <source>Orvik Software</source>
        <translation>Orvik Software</translation>
    </message>
    <message>
        <source>Home page</source>
        <translation>Homepage</translation>
    </message>
</context>
<context>
    <name>TfmAddSite</name>
    <message>
        <source>Add site</source>
        <translation>Site toevoegen</translation>
    </message>
    <message>
        <source>Location of the site xml:</source>
        <translation>Locatie van de xml van de site:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Bladeren...</translation>
    </message>
    <message>
        <source>Site xml</source>
        <translation>Xml van de site</translation>
    </message>
    <message>
        <source>Xml files (*.xml);;All files (*)</source>
        <translation>Xml-bestanden (*.xml);;Alle bestanden (*)</translation>
    </message>
</context>
<context>
    <name>TfmAuthorization</name>
    <message>
        <source>Authorization</source>
        <translation>Aanmelding</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Gebruikersnaam:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Wachtwoord:</translation>
    </message>
</context>
<context>
    <name>TfmAutoUpdateWizard</name>
    <message>
        <source>&lt; Back</source>
        <translation>&lt; Vorige</translation>
    </message>
    <message>
        <source>AutoUpdate Wizard</source>
        <translation>AutoUpdate-wizard</translation>
    </message>
    <message>
        <source>This wizard sets up AutoUpdate of the POI files of one site: choose the site, a country and a group, and where the files go. AutoUpdate then keeps them up to date.</source>
        <translation>Deze wizard stelt AutoUpdate in voor de POI-bestanden van een site: kies de site, een land en een groep, en waar de bestanden heen gaan. AutoUpdate houdt ze daarna actueel.</translation>
    </message>
    <message>
        <source>Force site information download in the next step</source>
        <translation>Site-informatie in de volgende stap altijd downloaden</translation>
    </message>
    <message>
        <source>Choose the site whose POI files you want to keep up to date:</source>
        <translation>Kies de site waarvan u de POI-bestanden actueel wilt houden:</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Website</translation>
    </message>
    <message>
        <source>This site needs an account. Enter your user name and password:</source>
        <translation>Deze site vraagt om een account. Geef uw gebruikersnaam en wachtwoord:</translation>
    </message>
    <message>
        <source>User name:</source>
        <translation>Gebruikersnaam:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Wachtwoord:</translation>
    </message>
    <message>
        <source>Country:</source>
        <translation>Land:</translation>
    </message>
    <message>
        <source>Group:</source>
        <translation>Groep:</translation>
    </message>
    <message>
        <source>Folder on local machine</source>
        <translation>Map op deze computer</translation>
    </message>
    <message>
        <source>TomTom GO</source>
        <translation>TomTom GO</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Bladeren...</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>Map:</translation>
    </message>
    <message>
        <source>File type:</source>
        <translation>Bestandstype:</translation>
    </message>
    <message>
        <source>AutoUpdate now</source>
        <translation>Nu AutoUpdate uitvoeren</translation>
    </message>
    <message>
        <source>Go to AutoUpdate Manager</source>
        <translation>Naar AutoUpdate-beheer</translation>
    </message>
    <message>
        <source>The AutoUpdate items are set up.</source>
        <translation>De AutoUpdate-items zijn ingesteld.</translation>
    </message>
    <message>
        <source>Finish</source>
        <translation>Voltooien</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Volgende</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Sluiten</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuleren</translation>
    </message>
    <message>
        <source>The wizard is ready to set up AutoUpdate of %1 POI files from %2. Click Finish to do so.</source>
        <translation>De wizard kan nu AutoUpdate instellen voor %1 POI-bestanden van %2. Klik op Voltooien om dat te doen.</translation>
    </message>
    <message>
        <source>Select target folder...</source>
        <translation>Doelmap kiezen...</translation>
    </message>
    <message>
        <source>Navigator on the device</source>
        <translation>Navigator op het apparaat</translation>
    </message>
</context>
<context>
    <name>TfmBatchConvert</name>
    <message>
        <source>Marivel Batch Convert</source>
        <translation>Marivel Batchconversie</translation>
    </message>
    <message>
        <source>&amp;Convert</source>
        <translation>&amp;Converteren</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Bron</translation>
    </message>
    <message>
        <source>Source Directory:</source>
        <translation>Bronmap:</translation>
    </message>
    <message>
        <source>Source Format:</source>
        <translation>Bronformaat:</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>Selected</source>
        <translation>Geselecteerde</translation>
    </message>
    <message>
        <source>Source file mode</source>
        <translation>Bronbestanden</translation>
    </message>
    <message>
        <source>Destination</source>
        <translation>Doel</translation>
    </message>
    <message>
        <source>Destination Format:</source>
        <translation>Doelformaat:</translation>
    </message>
    <message>
        <source>Multiple</source>
        <translation>Meerdere</translation>
    </message>
    <message>
        <source>Append</source>
        <translation>Samenvoegen</translation>
    </message>
    <message>
        <source>Destination mode</source>
        <translation>Doelbestanden</translation>
    </message>
    <message>
        <source>Destination Directory:</source>
        <translation>Doelmap:</translation>
    </message>
    <message>
        <source>Destination File:</source>
        <translation>Doelbestand:</translation>
    </message>
    <message>
        <source>Open file in new window after appending</source>
        <translation>Bestand na samenvoegen in een nieuw venster openen</translation>
    </message>
    <message>
        <source>Add names of the source files to the POI descriptions of the target file</source>
        <translation>Namen van de bronbestanden aan de POI-omschrijvingen in het doelbestand toevoegen</translation>
    </message>
</context>
<context>
    <name>TfmCalibrate</name>
    <message>
        <source>Background colour...</source>
        <translation>Achtergrondkleur...</translation>
    </message>
    <message>
        <source>Calibrate...</source>
        <translation>Kalibreren...</translation>
    </message>
    <message>
        <source>Calibration point %1</source>
        <translation>Kalibratiepunt %1</translation>
    </message>
    <message>
        <source>Set this point by clicking the map</source>
        <translation>Stel dit punt in door op de kaart te klikken</translation>
    </message>
    <message>
        <source>X:</source>
        <translation>X:</translation>
    </message>
    <message>
        <source>Y:</source>
        <translation>Y:</translation>
    </message>
</context>
<context>
    <name>TfmChooseFormat</name>
    <message>
        <source>In the future, use this format as the default</source>
        <translation>Dit formaat voortaan standaard gebruiken</translation>
    </message>
    <message>
        <source>File open error...</source>
        <translation>Fout bij openen van bestand...</translation>
    </message>
    <message>
        <source>The file could not be opened:</source>
        <translation>Het bestand kon niet worden geopend:</translation>
    </message>
    <message>
        <source>Try to open it in this format:</source>
        <translation>Probeer het in dit formaat te openen:</translation>
    </message>
</context>
<context>
    <name>TfmCommit</name>
    <message>
        <source>Commit to a site...</source>
        <translation>Naar een site insturen...</translation>
    </message>
    <message>
        <source>Description:</source>
        <translation>Omschrijving:</translation>
    </message>
    <message>
        <source>Longitude:</source>
        <translation>Lengtegraad:</translation>
    </message>
    <message>
        <source>Latitude:</source>
        <translation>Breedtegraad:</translation>
    </message>
    <message>
        <source>Site:</source>
        <translation>Site:</translation>
    </message>
    <message>
        <source>Country:</source>
        <translation>Land:</translation>
    </message>
    <message>
        <source>Group:</source>
        <translation>Groep:</translation>
    </message>
    <message>
        <source>POI file:</source>
        <translation>POI-bestand:</translation>
    </message>
</context>
<context>
    <name>TfmConfirmDialog</name>
    <message>
        <source>Always &quot;Yes to All&quot;</source>
        <translation>Altijd &quot;Ja op alles&quot;</translation>
    </message>
    <message>
        <source>Confirm...</source>
        <translation>Bevestigen...</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nee</translation>
    </message>
    <message>
        <source>Yes to All</source>
        <translation>Ja op alles</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuleren</translation>
    </message>
</context>
<context>
    <name>TfmCoordsCalculator</name>
    <message>
        <source>Coordinates Calculator</source>
        <translation>Coördinatencalculator</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Sluiten</translation>
    </message>
</context>
<context>
    <name>TfmCrashReport</name>
    <message>
        <source>Program fault</source>
        <translation>Programmafout</translation>
    </message>
    <message>
        <source>Marivel ran into a fault it did not expect, and the command was abandoned: %1

Please save this report and send it to Orvik Software, with what you did just before. It is wise to save your documents under a new name and restart the program.</source>
        <translation>Marivel stuitte op een onverwachte fout en heeft de opdracht afgebroken: %1

Sla dit rapport op en stuur het naar Orvik Software, samen met wat u vlak daarvoor deed. Sla uw documenten het best onder een nieuwe naam op en start het programma opnieuw.</translation>
    </message>
</context>
<context>
    <name>TfmFindDups</name>
    <message>
        <source>Find</source>
        <translation>Zoeken</translation>
    </message>
    <message>
        <source>Find duplicates</source>
        <translation>Dubbele items zoeken</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Knippen</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>Cuts the selected duplicates to the clipboard</source>
        <translation>Knipt de geselecteerde dubbele items naar het klembord</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopiëren</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>Copies the selected duplicates to the clipboard</source>
        <translation>Kopieert de geselecteerde dubbele items naar het klembord</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Verwijderen</translation>
    </message>
    <message>
        <source>Deletes the selected duplicates</source>
        <translation>Verwijdert de geselecteerde dubbele items</translation>
    </message>
    <message>
        <source>Distance tolerance to use when comparing items</source>
        <translation>Afstandstolerantie bij het vergelijken van items</translation>
    </message>
    <message>
        <source>Tolerance: </source>
        <translation>Tolerantie: </translation>
    </message>
    <message>
        <source>m </source>
        <translation>m </translation>
    </message>
</context>
<context>
    <name>TfmMarivelMainForm</name>
    <message>
        <source>File</source>
        <translation>Bestand</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bewerken</translation>
    </message>
    <message>
        <source>Window</source>
        <translation>Venster</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>AutoUpdate</source>
        <translation>AutoUpdate</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Nieuw</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Openen</translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation>Ctrl+O</translation>
    </message>
    <message>
        <source>A&amp;ppend</source>
        <translation>&amp;Toevoegen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>Op&amp;slaan</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Opslaan &amp;als...</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;luiten</translation>
    </message>
    <message>
        <source>Ctrl+F4</source>
        <translation>Ctrl+F4</translation>
    </message>
    <message>
        <source>Ctrl+D</source>
        <translation>Ctrl+D</translation>
    </message>
    <message>
        <source>&amp;Hide In Tray</source>
        <translation>&amp;Verbergen in systeemvak</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>A&amp;fsluiten</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>Ctrl+V</source>
        <translation>Ctrl+V</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Verwijderen</translation>
    </message>
    <message>
        <source>&amp;Insert</source>
        <translation>&amp;Invoegen</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Alles selecteren</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>Ctrl+I</source>
        <translation>Ctrl+I</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Zoeken</translation>
    </message>
    <message>
        <source>Ctrl+F</source>
        <translation>Ctrl+F</translation>
    </message>
    <message>
        <source>Find &amp;Next</source>
        <translation>Volge&amp;nde zoeken</translation>
    </message>
    <message>
        <source>&amp;Cascade</source>
        <translation>&amp;Trapsgewijs</translation>
    </message>
    <message>
        <source>Tile &amp;Horizontally</source>
        <translation>&amp;Horizontaal naast elkaar</translation>
    </message>
    <message>
        <source>Tile &amp;Vertically</source>
        <translation>&amp;Verticaal naast elkaar</translation>
    </message>
    <message>
        <source>&amp;Minimize All</source>
        <translation>Alles &amp;minimaliseren</translation>
    </message>
    <message>
        <source>&amp;Arrange All</source>
        <translation>Alles &amp;schikken</translation>
    </message>
    <message>
        <source>Ctrl+F6</source>
        <translation>Ctrl+F6</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Extra</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Bestand</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>Be&amp;werken</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>E&amp;xtra</translation>
    </message>
    <message>
        <source>&amp;AutoUpdate</source>
        <translation>&amp;AutoUpdate</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Taal</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>Nederlands</source>
        <translation>Nederlands</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Venster</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;Over...</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standaard</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Openen</translation>
    </message>
    <message>
        <source>Append</source>
        <translation>Toevoegen</translation>
    </message>
    <message>
        <source>Marivel has no %1 translation yet, so it keeps its present language.</source>
        <translation>Marivel heeft nog geen vertaling voor %1 en houdt daarom de huidige taal.</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Ongedaan maken</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Opnieuw uitvoeren</translation>
    </message>
    <message>
        <source>Ctrl+Y</source>
        <translation>Ctrl+Y</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Z</source>
        <translation>Ctrl+Shift+Z</translation>
    </message>
    <message>
        <source>Ctrl+Shift+C</source>
        <translation>Ctrl+Shift+C</translation>
    </message>
    <message>
        <source>&amp;Description, ascending</source>
        <translation>&amp;Omschrijving, oplopend</translation>
    </message>
    <message>
        <source>D&amp;escription, descending</source>
        <translation>O&amp;mschrijving, aflopend</translation>
    </message>
    <message>
        <source>&amp;Latitude, ascending</source>
        <translation>&amp;Breedtegraad, oplopend</translation>
    </message>
    <message>
        <source>L&amp;atitude, descending</source>
        <translation>B&amp;reedtegraad, aflopend</translation>
    </message>
    <message>
        <source>L&amp;ongitude, ascending</source>
        <translation>&amp;Lengtegraad, oplopend</translation>
    </message>
    <message>
        <source>Lo&amp;ngitude, descending</source>
        <translation>L&amp;engtegraad, aflopend</translation>
    </message>
    <message>
        <source>&amp;Sort</source>
        <translation>&amp;Sorteren</translation>
    </message>
    <message>
        <source>Reconnec&amp;t</source>
        <translation>Opnieuw verbin&amp;den</translation>
    </message>
    <message>
        <source>Open &amp;Remote...</source>
        <translation>Openen van a&amp;pparaat...</translation>
    </message>
    <message>
        <source>Sa&amp;ve Remote...</source>
        <translation>Opslaan op appa&amp;raat...</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Ongedaan maken</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>Opnieuw &amp;uitvoeren</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopiëren</translation>
    </message>
    <message>
        <source>Copy as te&amp;xt</source>
        <translation>Kopiëren als &amp;tekst</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Kni&amp;ppen</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>P&amp;lakken</translation>
    </message>
    <message>
        <source>In&amp;vert Selection</source>
        <translation>Selectie o&amp;mkeren</translation>
    </message>
    <message>
        <source>Find Dup&amp;licates...</source>
        <translation>&amp;Dubbele items zoeken...</translation>
    </message>
    <message>
        <source>&amp;Next Window</source>
        <translation>Volgen&amp;d venster</translation>
    </message>
    <message>
        <source>AutoUpdate &amp;Now...</source>
        <translation>&amp;Nu AutoUpdate uitvoeren...</translation>
    </message>
    <message>
        <source>AutoUpdate &amp;Manager...</source>
        <translation>AutoUpdate-&amp;beheer...</translation>
    </message>
    <message>
        <source>Co&amp;mmit to a site...</source>
        <translation>Naar een sit&amp;e insturen...</translation>
    </message>
    <message>
        <source>AutoUpdate &amp;Wizard...</source>
        <translation>AutoUpdate-&amp;wizard...</translation>
    </message>
    <message>
        <source>&amp;Coordinates Calculator...</source>
        <translation>&amp;Coördinatencalculator...</translation>
    </message>
    <message>
        <source>&amp;Batch Convert...</source>
        <translation>&amp;Batchconversie...</translation>
    </message>
    <message>
        <source>&amp;Preferences...</source>
        <translation>&amp;Voorkeuren...</translation>
    </message>
    <message>
        <source>Go to the &amp;Sites Status Page...</source>
        <translation>Naar de &amp;statuspagina van de sites...</translation>
    </message>
    <message>
        <source>&amp;English</source>
        <translation>&amp;English</translation>
    </message>
    <message>
        <source>&amp;Nederlands</source>
        <translation>&amp;Nederlands</translation>
    </message>
    <message>
        <source>Go to Marivel &amp;Page...</source>
        <translation>Naar de &amp;pagina van Marivel...</translation>
    </message>
    <message>
        <source>Online Marivel &amp;FAQ...</source>
        <translation>&amp;Veelgestelde vragen over Marivel (online)...</translation>
    </message>
    <message>
        <source>Go to Marivel f&amp;orum...</source>
        <translation>Naar het &amp;forum van Marivel...</translation>
    </message>
    <message>
        <source>Check for Marivel &amp;updates...</source>
        <translation>Controleren op &amp;updates van Marivel...</translation>
    </message>
    <message>
        <source>Check every &amp;week</source>
        <translation>Elke &amp;week controleren</translation>
    </message>
    <message>
        <source>&amp;System Info...</source>
        <translation>&amp;Systeeminformatie...</translation>
    </message>
    <message>
        <source>&amp;Marivel...</source>
        <translation>&amp;Marivel...</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation>%1 &amp;ongedaan maken</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>%1 opnieuw &amp;uitvoeren</translation>
    </message>
</context>
<context>
    <name>TfmMarivelStartup</name>
    <message>
        <source>Next time do not show this startup screen </source>
        <translation>Dit startscherm de volgende keer niet tonen </translation>
    </message>
    <message>
        <source>Marivel Startup...</source>
        <translation>Marivel-startscherm...</translation>
    </message>
    <message>
        <source>What do you want to do?</source>
        <translation>Wat wilt u doen?</translation>
    </message>
    <message>
        <source>&amp;AutoUpdate Now (F9)</source>
        <translation>Nu &amp;AutoUpdate uitvoeren (F9)</translation>
    </message>
    <message>
        <source>&amp;Start AutoUpdate Wizard</source>
        <translation>AutoUpdate-&amp;wizard starten</translation>
    </message>
    <message>
        <source>&amp;Open AutoUpdate Manager (F8)</source>
        <translation>AutoUpdate-&amp;beheer openen (F8)</translation>
    </message>
    <message>
        <source>&amp;Create a new POI File</source>
        <translation>Een nieuw POI-bestand &amp;maken</translation>
    </message>
</context>
<context>
    <name>TfmMinimize</name>
    <message>
        <source>Do not show this message again</source>
        <translation>Dit bericht niet meer tonen</translation>
    </message>
    <message>
        <source>Minimize To Tray...</source>
        <translation>Minimaliseren naar systeemvak...</translation>
    </message>
    <message>
        <source>Marivel keeps running in the tray (the notification area of the panel) when its window is closed, so that AutoUpdate can still do its work. Click the tray icon to bring the window back.

To end the program, choose File &gt; Exit, or Exit in the menu of the tray icon.</source>
        <translation>Marivel blijft in het systeemvak (het meldingengebied van het paneel) actief als het venster wordt gesloten, zodat AutoUpdate zijn werk kan blijven doen. Klik op het pictogram in het systeemvak om het venster terug te halen.

Om het programma te beëindigen, kiest u Bestand &gt; Afsluiten, of Afsluiten in het menu van het pictogram in het systeemvak.</translation>
    </message>
</context>
<context>
    <name>TfmMobileBrowser</name>
    <message>
        <source>Save</source>
        <translation>Opslaan</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Openen</translation>
    </message>
    <message>
        <source>Save Remote...</source>
        <translation>Opslaan op apparaat...</translation>
    </message>
    <message>
        <source>Open Remote...</source>
        <translation>Openen van apparaat...</translation>
    </message>
    <message>
        <source>Directory Up</source>
        <translation>Map omhoog</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Vernieuwen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Verwijderen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuleren</translation>
    </message>
    <message>
        <source>&amp;Folder:</source>
        <translation>&amp;Map:</translation>
    </message>
    <message>
        <source>&amp;File:</source>
        <translation>&amp;Bestand:</translation>
    </message>
    <message>
        <source>File &amp;type:</source>
        <translation>Bestands&amp;type:</translation>
    </message>
</context>
<context>
    <name>TfmMobileFolder</name>
    <message>
        <source>Target file type:</source>
        <translation>Doelbestandstype:</translation>
    </message>
    <message>
        <source>Select Mobile Folder...</source>
        <translation>Map op apparaat kiezen...</translation>
    </message>
    <message>
        <source>TomTom Maps:</source>
        <translation>TomTom-kaarten:</translation>
    </message>
    <message>
        <source>Selected path:</source>
        <translation>Gekozen pad:</translation>
    </message>
    <message>
        <source>Select the folder where you want Marivel to automatically update the selected POI files...</source>
        <translation>Kies de map waarin Marivel de gekozen POI-bestanden automatisch moet bijwerken...</translation>
    </message>
</context>
<context>
    <name>TfmOsmSettings</name>
    <message>
        <source>OpenStreetMap Settings...</source>
        <translation>OpenStreetMap-instellingen...</translation>
    </message>
    <message>
        <source>{lat}, {lon} and {zoom} stand for the position and the zoom level</source>
        <translation>{lat}, {lon} en {zoom} staan voor de positie en het zoomniveau</translation>
    </message>
    <message>
        <source>Zoom level:</source>
        <translation>Zoomniveau:</translation>
    </message>
    <message>
        <source>Map address:</source>
        <translation>Adres van de kaart:</translation>
    </message>
</context>
<context>
    <name>TfmPluginSettings</name>
    <message>
        <source>Preferences...</source>
        <translation>Voorkeuren...</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Algemeen</translation>
    </message>
    <message>
        <source>Map Plugins</source>
        <translation>Kaartplug-ins</translation>
    </message>
    <message>
        <source>File Importers</source>
        <translation>Importformaten</translation>
    </message>
    <message>
        <source>File Exporters</source>
        <translation>Exportformaten</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Sluiten</translation>
    </message>
    <message>
        <source>Show startup choices screen</source>
        <translation>Startscherm met keuzes tonen</translation>
    </message>
    <message>
        <source>Close button hides Marivel in system tray</source>
        <translation>Sluitknop verbergt Marivel in het systeemvak</translation>
    </message>
    <message>
        <source>Coordinate precision</source>
        <translation>Nauwkeurigheid van coördinaten</translation>
    </message>
    <message>
        <source>5 decimals</source>
        <translation>5 decimalen</translation>
    </message>
    <message>
        <source>6 decimals</source>
        <translation>6 decimalen</translation>
    </message>
    <message>
        <source>Device folder</source>
        <translation>Map op apparaat</translation>
    </message>
    <message>
        <source>Device Folder...</source>
        <translation>Map op apparaat...</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Naam</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation>Instellingen...</translation>
    </message>
    <message>
        <source>Set Default</source>
        <translation>Als standaard instellen</translation>
    </message>
    <message>
        <source>Ext</source>
        <translation>Ext.</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Opties</translation>
    </message>
    <message>
        <source>= Default format for extension</source>
        <translation>= Standaardformaat voor extensie</translation>
    </message>
    <message>
        <source>(none found)</source>
        <translation>(geen gevonden)</translation>
    </message>
    <message>
        <source>Found: %1</source>
        <translation>Gevonden: %1</translation>
    </message>
    <message>
        <source>Arrange external applications automatically</source>
        <translation>Externe programma&apos;s automatisch schikken</translation>
    </message>
    <message>
        <source>Web map tiles</source>
        <translation>Tegels van de webkaart</translation>
    </message>
    <message>
        <source>The address of a tile, {z}, {x} and {y} standing for its zoom, column and row; empty for OpenStreetMap&apos;s tiles</source>
        <translation>Het adres van een tegel, waarin {z}, {x} en {y} staan voor het zoomniveau, de kolom en de rij; leeg voor de tegels van OpenStreetMap</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Testen</translation>
    </message>
    <message>
        <source>Asking the tile server...</source>
        <translation>De tegelserver wordt gevraagd...</translation>
    </message>
    <message>
        <source>The tile server sent a tile.</source>
        <translation>De tegelserver stuurde een tegel.</translation>
    </message>
</context>
<context>
    <name>TfmProgress</name>
    <message>
        <source>Cancel</source>
        <translation>Annuleren</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Voortgang</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Sluiten</translation>
    </message>
    <message>
        <source>Downloading...</source>
        <translation>Downloaden...</translation>
    </message>
</context>
<context>
    <name>TfmReport</name>
    <message>
        <source>&amp;Save...</source>
        <translation>&amp;Opslaan...</translation>
    </message>
    <message>
        <source>Text files (*.txt);;All files (*)</source>
        <translation>Tekstbestanden (*.txt);;Alle bestanden (*)</translation>
    </message>
</context>
<context>
    <name>TfmRetrieveVersionInfo</name>
    <message>
        <source>Close</source>
        <translation>Sluiten</translation>
    </message>
</context>
<context>
    <name>TfmSiteManager</name>
    <message>
        <source>AutoUpdate Manager</source>
        <translation>AutoUpdate-beheer</translation>
    </message>
    <message>
        <source>Sites</source>
        <translation>Sites</translation>
    </message>
    <message>
        <source>All Items / Pocket Marivel</source>
        <translation>Alle items / Pocket Marivel</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Instellingen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Sluiten</translation>
    </message>
    <message>
        <source>Set Target File...</source>
        <translation>Doelbestand instellen...</translation>
    </message>
    <message>
        <source>Select target folder...</source>
        <translation>Doelmap kiezen...</translation>
    </message>
    <message>
        <source>Target file type:</source>
        <translation>Doelbestandstype:</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Wissen</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Toevoegen</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Bijwerken</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Bekijken</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Set/Change password...</source>
        <translation>Wachtwoord instellen...</translation>
    </message>
    <message>
        <source>Map/Country name</source>
        <translation>Kaart/land</translation>
    </message>
    <message>
        <source>Group name</source>
        <translation>Groep</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Naam</translation>
    </message>
    <message>
        <source>Map</source>
        <translation>Kaart</translation>
    </message>
    <message>
        <source>Auth</source>
        <translation>Toegang</translation>
    </message>
    <message>
        <source>Subscribed</source>
        <translation>Geabonneerd</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>Doel</translation>
    </message>
    <message>
        <source>Subscribe to:</source>
        <translation>Abonneren op:</translation>
    </message>
    <message>
        <source>Local</source>
        <translation>Lokaal</translation>
    </message>
    <message>
        <source>Unsubscribe</source>
        <translation>Opzeggen</translation>
    </message>
    <message>
        <source>Start Wizard...</source>
        <translation>Wizard starten...</translation>
    </message>
    <message>
        <source>AutoUpdate Now</source>
        <translation>Nu AutoUpdate uitvoeren</translation>
    </message>
    <message>
        <source>Site</source>
        <translation>Site</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Formaat</translation>
    </message>
    <message>
        <source>Last checked</source>
        <translation>Gecontroleerd</translation>
    </message>
    <message>
        <source>Last updated</source>
        <translation>Bijgewerkt</translation>
    </message>
    <message>
        <source>Update Selection</source>
        <translation>Selectie bijwerken</translation>
    </message>
    <message>
        <source>Send Selected to Pocket Marivel</source>
        <translation>Selectie naar Pocket Marivel sturen</translation>
    </message>
    <message>
        <source>Download Images</source>
        <translation>Afbeeldingen downloaden</translation>
    </message>
    <message>
        <source>Always overwrite</source>
        <translation>Altijd overschrijven</translation>
    </message>
    <message>
        <source> seconds</source>
        <translation> seconden</translation>
    </message>
    <message>
        <source>Delay time:</source>
        <translation>Wachttijd:</translation>
    </message>
    <message>
        <source>After AutoUpdate start this application:</source>
        <translation>Na AutoUpdate dit programma starten:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Bladeren...</translation>
    </message>
    <message>
        <source>Application:</source>
        <translation>Programma:</translation>
    </message>
    <message>
        <source>Parameters:</source>
        <translation>Parameters:</translation>
    </message>
    <message>
        <source>Pocket Marivel is installed to an alternate installation directory</source>
        <translation>Pocket Marivel is in een andere installatiemap geïnstalleerd</translation>
    </message>
    <message>
        <source>Directory:</source>
        <translation>Map:</translation>
    </message>
    <message>
        <source>AutoUpdate upon device connect</source>
        <translation>AutoUpdate bij aansluiten van apparaat</translation>
    </message>
    <message>
        <source>%1 sites (%2 hidden, &lt;a href=&quot;unhide&quot;&gt;unhide&lt;/a&gt;)</source>
        <translation>%1 sites (%2 verborgen, &lt;a href=&quot;unhide&quot;&gt;weer tonen&lt;/a&gt;)</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nee</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Programma</translation>
    </message>
    <message>
        <source>Icons</source>
        <translation>Pictogrammen</translation>
    </message>
    <message>
        <source>List</source>
        <translation>Lijst</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>Show Info Page</source>
        <translation>Infopagina tonen</translation>
    </message>
    <message>
        <source>Close Status Window Automatically</source>
        <translation>Statusvenster automatisch sluiten</translation>
    </message>
    <message>
        <source>Hide Info Page</source>
        <translation>Infopagina verbergen</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Apparaat</translation>
    </message>
</context>
<context>
    <name>TfmStatus</name>
    <message>
        <source>File</source>
        <translation>Bestand</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Voortgang</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuleren</translation>
    </message>
    <message>
        <source>Auto close</source>
        <translation>Automatisch sluiten</translation>
    </message>
    <message>
        <source>Marivel AutoUpdate Status...</source>
        <translation>Marivel AutoUpdate-status...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Sluiten</translation>
    </message>
</context>
<context>
    <name>TfmSysInfo</name>
    <message>
        <source>System Information</source>
        <translation>Systeeminformatie</translation>
    </message>
</context>
</TS>

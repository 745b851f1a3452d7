<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <location filename="../../../chat/ui/UiLanguage.cpp" line="17"/>
        <source>Drive</source>
        <translation>Laufwerk</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UiLanguage.cpp" line="18"/>
        <source>File Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UiLanguage.cpp" line="19"/>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UiLanguage.cpp" line="20"/>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UiLanguage.cpp" line="21"/>
        <source>Shortcut</source>
        <translation>Symbolischer Link</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UiLanguage.cpp" line="22"/>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UiLanguage.cpp" line="23"/>
        <source>Alias</source>
        <translation>Alias</translation>
    </message>
</context>
<context>
    <name>StateIcons</name>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="31"/>
        <source>encrypted</source>
        <translation>verschlüsselt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="32"/>
        <source>in the clear</source>
        <translation>unverschlüsselt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="33"/>
        <source>warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="34"/>
        <source>blocked</source>
        <translation>gesperrt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="35"/>
        <source>unread lines</source>
        <translation>ungelesene Zeilen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="36"/>
        <source>available</source>
        <translation>verfügbar</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="37"/>
        <source>alerts only</source>
        <translation>nur Meldungen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="38"/>
        <source>do not disturb</source>
        <translation>nicht stören</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="54"/>
        <source>not sent</source>
        <translation>nicht gesendet</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="55"/>
        <source>queued</source>
        <translation>in Warteschlange</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="56"/>
        <source>sent</source>
        <translation>gesendet</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="58"/>
        <source>delivered</source>
        <translation>zugestellt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="59"/>
        <source>not confirmed</source>
        <translation>nicht bestätigt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="60"/>
        <source>waiting</source>
        <translation>wartet</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="69"/>
        <source>%1: not sent: %1&apos;s key changed. Compare the safety number in %1&apos;s information before anything goes to %1 again</source>
        <translation>%1: nicht gesendet: Der Schlüssel von %1 hat sich geändert. Vergleichen Sie die Sicherheitsnummer in den Benutzerinformationen zu %1, bevor wieder etwas an %1 geht</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="74"/>
        <source>%1: not sent: %1&apos;s program takes no sealed messages</source>
        <translation>%1: nicht gesendet: Das Programm von %1 nimmt keine versiegelten Nachrichten an</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="76"/>
        <source>%1: not sent: nothing to send</source>
        <translation>%1: nicht gesendet: nichts zu senden</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="78"/>
        <source>%1: not sent: it waited for %1 too long and expired</source>
        <translation>%1: nicht gesendet: Die Nachricht hat zu lange auf %1 gewartet und ist abgelaufen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="81"/>
        <source>%1: not sent: you took it back while it waited</source>
        <translation>%1: nicht gesendet: Sie haben die Nachricht zurückgenommen, während sie wartete</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="83"/>
        <source>%1: not sent: %2 messages already wait for %1</source>
        <translation>%1: nicht gesendet: für %1 warten schon %2 Nachrichten</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="86"/>
        <source>%1: not sent: the messages waiting for absent users fill the room kept for them</source>
        <translation>%1: nicht gesendet: die wartenden Nachrichten für abwesende Benutzer füllen den dafür vorgesehenen Platz</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="82"/>
        <source>%1: not sent: not on the network</source>
        <translation>%1: nicht gesendet: nicht im Netzwerk</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="85"/>
        <source>%1: shown here only</source>
        <translation>%1: nur hier angezeigt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="88"/>
        <source>%1: queued, encrypted: %1 is not on the network; it goes when %1 is seen again</source>
        <translation>%1: in Warteschlange, verschlüsselt: %1 ist nicht im Netzwerk; die Nachricht geht hinaus, sobald %1 wieder zu sehen ist</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="93"/>
        <source>%1: in the clear, sent; this recipient&apos;s program does not confirm</source>
        <translation>%1: unverschlüsselt gesendet; das Programm dieses Empfängers bestätigt nicht</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="96"/>
        <source>%1: encrypted, delivered</source>
        <translation>%1: verschlüsselt, zugestellt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="97"/>
        <source>%1: encrypted, not confirmed</source>
        <translation>%1: verschlüsselt, nicht bestätigt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="98"/>
        <source>%1: encrypted, waiting for confirmation</source>
        <translation>%1: verschlüsselt, wartet auf Bestätigung</translation>
    </message>
</context>
<context>
    <name>lanyx::FileTransfers</name>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="77"/>
        <source>1 byte</source>
        <translation>1 Byte</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="78"/>
        <source>%1 bytes</source>
        <translation>%1 Bytes</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="79"/>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="80"/>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="81"/>
        <source>%1 GB</source>
        <translation>%1 GB</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="82"/>
        <source>%1 TB</source>
        <translation>%1 TB</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="93"/>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="94"/>
        <source>1 file</source>
        <translation>1 Datei</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="95"/>
        <source>%1 files</source>
        <translation>%1 Dateien</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="105"/>
        <source>Waiting for %1 to accept</source>
        <translation>Wartet, bis %1 annimmt</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="107"/>
        <source>Offered by %1</source>
        <translation>Angeboten von %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="109"/>
        <source>Sending</source>
        <translation>Wird gesendet</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="110"/>
        <source>Receiving</source>
        <translation>Wird empfangen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="112"/>
        <source>Interrupted</source>
        <translation>Unterbrochen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="114"/>
        <source>Sent</source>
        <translation>Gesendet</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="115"/>
        <source>Received</source>
        <translation>Empfangen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="117"/>
        <source>Failed</source>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="119"/>
        <source>Declined by %1</source>
        <translation>Von %1 abgelehnt</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="120"/>
        <source>Declined</source>
        <translation>Abgelehnt</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="122"/>
        <source>Cancelled</source>
        <translation>Abgebrochen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="125"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="133"/>
        <source>stopped by %1: not enough free space there</source>
        <translation>von %1 angehalten: dort ist nicht genug Speicherplatz frei</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="135"/>
        <source>stopped by %1: the files could not be written there</source>
        <translation>von %1 angehalten: die Dateien konnten dort nicht geschrieben werden</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="138"/>
        <source>stopped by %1: a file arrived damaged</source>
        <translation>von %1 angehalten: eine Datei kam beschädigt an</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="139"/>
        <source>refused by %1</source>
        <translation>von %1 abgelehnt</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="141"/>
        <source>not shown to %1: too many offers were waiting there</source>
        <translation>%1 nicht angezeigt: dort warteten zu viele Angebote</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="143"/>
        <source>stopped by %1</source>
        <translation>von %1 angehalten</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="232"/>
        <source>This copy of Lanyx was built without file transfers.</source>
        <translation>Diese Lanyx-Ausgabe wurde ohne Dateiübertragung gebaut.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="239"/>
        <source>This copy runs without keys, so it cannot send files.</source>
        <translation>Dieses Exemplar läuft ohne Schlüssel und kann deshalb keine Dateien senden.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="240"/>
        <source>This user&apos;s program cannot receive files.</source>
        <translation>Das Programm dieses Benutzers kann keine Dateien empfangen.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="241"/>
        <source>This user&apos;s key changed: compare the safety number in the user&apos;s information first.</source>
        <translation>Der Schlüssel dieses Benutzers hat sich geändert: Vergleichen Sie zuerst die Sicherheitsnummer in den Benutzerinformationen.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="243"/>
        <source>A copy without keys uses this name too: check the key in the user&apos;s information first.</source>
        <translation>Ein Exemplar ohne Schlüssel verwendet diesen Namen ebenfalls: Prüfen Sie zuerst den Schlüssel in den Benutzerinformationen.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="245"/>
        <source>This user&apos;s program has not been heard with its key since it was listed.</source>
        <translation>Das Programm dieses Benutzers wurde seit seiner Aufnahme in die Liste nicht mit seinem Schlüssel gehört.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="625"/>
        <source>%1 has not been heard from there with the same key since Lanyx started</source>
        <translation>von %1 kam seit dem Start von Lanyx nichts mit demselben Schlüssel von dort</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="689"/>
        <source>%1 did not come back within %2 min (%3)</source>
        <translation>%1 kam nicht innerhalb von %2 min zurück (%3)</translation>
    </message>
    <message>
        <source>This user&apos;s key changed: accept the new key in the user&apos;s info first.</source>
        <translation type="vanished">Der Schlüssel dieses Benutzers hat sich geändert: Nehmen Sie zuerst in den Benutzerinformationen den neuen Schlüssel an.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="309"/>
        <source>Nothing to send.</source>
        <translation>Nichts zu senden.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="311"/>
        <source>Too many transfers at once; wait for some to end.</source>
        <translation>Zu viele Übertragungen auf einmal; warten Sie, bis einige fertig sind.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="315"/>
        <source>%1 does not exist.</source>
        <translation>%1 gibt es nicht.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="316"/>
        <source>%1 cannot be read.</source>
        <translation>%1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="321"/>
        <source>Nothing to send</source>
        <translation>Nichts zu senden</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="327"/>
        <source>Files cannot be offered: %1</source>
        <translation>Dateien können nicht angeboten werden: %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="343"/>
        <source>No key is known for %1.</source>
        <translation>Für %1 ist kein Schlüssel bekannt.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="359"/>
        <source>The offer could not be sent: %1</source>
        <translation>Das Angebot konnte nicht gesendet werden: %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="361"/>
        <source>The offer could not be sent to %1.</source>
        <translation>Das Angebot konnte nicht an %1 gesendet werden.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="370"/>
        <source>no answer</source>
        <translation>keine Antwort</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="485"/>
        <source>%1 is not a folder this user can write to</source>
        <translation>%1 ist kein Ordner, in den dieser Benutzer schreiben darf</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="502"/>
        <source>no key is known for %1</source>
        <translation>für %1 ist kein Schlüssel bekannt</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="572"/>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="579"/>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="733"/>
        <source>refused: %1</source>
        <translation>abgewiesen: %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="588"/>
        <source>%1; trying again</source>
        <translation>%1; neuer Versuch</translation>
    </message>
    <message>
        <source>the receiver did not come back</source>
        <translation type="vanished">der Empfänger hat sich nicht wieder gemeldet</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="769"/>
        <source>too many offers were waiting</source>
        <translation>zu viele Angebote warteten</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="781"/>
        <source>not answered</source>
        <translation>nicht beantwortet</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="808"/>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="824"/>
        <source>cancelled by %1</source>
        <translation>von %1 abgebrochen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="823"/>
        <source>withdrawn by %1</source>
        <translation>von %1 zurückgezogen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="948"/>
        <source>interrupted when Lanyx ended; it goes on when %1 is back</source>
        <translation>unterbrochen, als Lanyx beendet wurde; es geht weiter, sobald %1 wieder da ist</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="1019"/>
        <source>the offer did not reach %1</source>
        <translation>das Angebot hat %1 nicht erreicht</translation>
    </message>
</context>
<context>
    <name>lanyx::TransferClient</name>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="347"/>
        <source>nothing came from the sender for %1 s</source>
        <translation>vom Absender kam %1 s lang nichts</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="368"/>
        <source>the sender closed the connection before the handshake (a different version of Lanyx, or too many connections)</source>
        <translation>der Absender hat die Verbindung vor dem Handshake geschlossen (eine andere Version von Lanyx oder zu viele Verbindungen)</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="370"/>
        <source>the sender closed the connection</source>
        <translation>der Absender hat die Verbindung getrennt</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="392"/>
        <source>cancelled</source>
        <translation>abgebrochen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="424"/>
        <source>the sender refused the connection: %1</source>
        <translation>der Absender hat die Verbindung abgelehnt: %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="473"/>
        <source>connection lost (%1)</source>
        <translation>Verbindung verloren (%1)</translation>
    </message>
</context>
<context>
    <name>lanyx::TransferServer</name>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="166"/>
        <source>a connection for a transfer did not complete its handshake in time</source>
        <translation>eine Verbindung für eine Übertragung hat ihren Handshake nicht rechtzeitig abgeschlossen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="189"/>
        <source>a receiver with an older version of Lanyx tried to connect; it cannot receive files from this one</source>
        <translation>ein Empfänger mit einer älteren Version von Lanyx wollte sich verbinden; er kann von dieser keine Dateien empfangen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="229"/>
        <source>a connection for a transfer failed its handshake: %1</source>
        <translation>eine Verbindung für eine Übertragung ist beim Handshake gescheitert: %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="300"/>
        <source>the receiver took nothing for %1 s</source>
        <translation>der Empfänger hat %1 s lang nichts angenommen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="301"/>
        <source>the receiver closed the connection</source>
        <translation>der Empfänger hat die Verbindung getrennt</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::ChatWindows</name>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="230"/>
        <source>%1 left the network; lines to %1 wait until %1 is back.</source>
        <translation>%1 hat das Netzwerk verlassen; Zeilen an %1 warten, bis %1 zurück ist.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="300"/>
        <source>%1 shares this chat with you and %2.</source>
        <translation>%1 teilt diesen Chat mit Ihnen und %2.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="389"/>
        <source>Earlier lines of this chat, as %1 has them:</source>
        <translation>Frühere Zeilen dieses Chats, wie %1 sie hat:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="251"/>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="306"/>
        <source>%1 added %2</source>
        <translation>%1 hat %2 hinzugefügt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="311"/>
        <source>%1 removed %2</source>
        <translation>%1 hat %2 entfernt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="317"/>
        <source>%1 removed you from this chat: it is a list of your own now.</source>
        <translation>%1 hat Sie aus diesem Chat entfernt: die Liste gehört jetzt nur Ihnen.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="330"/>
        <source>%1 is now %2.</source>
        <translation>%1 heißt jetzt %2.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="353"/>
        <source>%1 is back.</source>
        <translation>%1 ist zurück.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::EmojiButton</name>
    <message>
        <location filename="../../../chat/ui/EmojiPicker.cpp" line="80"/>
        <source>Insert an emoji</source>
        <translation>Ein Emoji einfügen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/EmojiPicker.cpp" line="82"/>
        <source>Emoji</source>
        <translation>Emoji</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::FindBar</name>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>Find in this chat</source>
        <translation>In diesem Chat suchen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>The match before (Enter)</source>
        <translation>Der Treffer davor (Eingabe)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>Earlier match</source>
        <translation>Früherer Treffer</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>The match after (Shift+Enter)</source>
        <translation>Der Treffer danach (Umschalt+Eingabe)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>Later match</source>
        <translation>Späterer Treffer</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>Close (Esc)</source>
        <translation>Schließen (Esc)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>Close the search</source>
        <translation>Suche schließen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>No match</source>
        <translation>Kein Treffer</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::FileDropFilter</name>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="149"/>
        <source>File transfers are not available.</source>
        <translation>Dateiübertragungen sind nicht verfügbar.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="155"/>
        <source>Drop files onto a user.</source>
        <translation>Legen Sie Dateien auf einem Benutzer ab.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="171"/>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="202"/>
        <source>Only files and folders on this computer can be sent.</source>
        <translation>Es können nur Dateien und Ordner auf diesem Computer gesendet werden.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="188"/>
        <source>Drop to offer the files to %1.</source>
        <translation>Ablegen, um die Dateien %1 anzubieten.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="215"/>
        <source>Send Files</source>
        <translation>Dateien senden</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::LanyxApp</name>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="67"/>
        <source>process %1</source>
        <translation>Prozess %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="71"/>
        <source>Lanyx already runs on the data folder %1.</source>
        <translation>Lanyx läuft bereits mit dem Datenordner %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="72"/>
        <source>Lanyx already runs on the data folder %1 (%2).</source>
        <translation>Lanyx läuft bereits mit dem Datenordner %1 (%2).</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="73"/>
        <source>Its window is shown now.</source>
        <translation>Sein Fenster wird jetzt gezeigt.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="74"/>
        <source>It did not answer (lanyx-cli has no window): use it or end it.</source>
        <translation>Es hat nicht geantwortet (lanyx-cli hat kein Fenster): Verwenden oder beenden Sie es.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="75"/>
        <source>To run another copy beside it, start that one with --dir and another folder.</source>
        <translation>Um daneben eine weitere Kopie auszuführen, starten Sie diese mit --dir und einem anderen Ordner.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="129"/>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="134"/>
        <source>(not verified) </source>
        <translation>(nicht verifiziert) </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="277"/>
        <source>%1: %2 alerts, %3 chat lines not shown</source>
        <translation>%1: %2 Meldungen, %3 Chatzeilen nicht angezeigt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="360"/>
        <source>A message to %1 was not sent: %1 was not seen on the network in the time it could wait.</source>
        <translation>Eine Nachricht an %1 wurde nicht gesendet: %1 war in der Zeit, die sie warten durfte, nicht im Netzwerk zu sehen.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="363"/>
        <source>Waiting message - Lanyx</source>
        <translation>Wartende Nachricht - Lanyx</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="374"/>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="383"/>
        <source>History - Lanyx</source>
        <translation>Verlauf - Lanyx</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="383"/>
        <source>No history is kept in this run (see the log).</source>
        <translation>Bei diesem Programmlauf wird kein Verlauf gespeichert (siehe Protokoll).</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/LanyxApp.cpp" line="332"/>
        <source>The history was damaged. It is kept as %1; %n message(s) that could be read of it are in a new one.</source>
        <translation>
            <numerusform>Der Verlauf war beschädigt. Er wird als %1 aufbewahrt; %n Nachricht, die sich daraus lesen ließ, ist in einem neuen.</numerusform>
            <numerusform>Der Verlauf war beschädigt. Er wird als %1 aufbewahrt; %n Nachrichten, die sich daraus lesen ließen, sind in einem neuen.</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="336"/>
        <source>The history&apos;s search index was damaged and has been built anew; no message was lost.</source>
        <translation>Der Suchindex des Verlaufs war beschädigt und wurde neu aufgebaut; keine Nachricht ging verloren.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="338"/>
        <source>Less than %1 MB are free on the disk of the history: nothing is recorded until there is more room.</source>
        <translation>Auf dem Datenträger des Verlaufs sind weniger als %1 MB frei: Bis wieder mehr Platz ist, wird nichts aufgezeichnet.</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/LanyxApp.cpp" line="341"/>
        <source>There is room on the disk of the history again: recording goes on (%n message(s) not recorded).</source>
        <translation>
            <numerusform>Auf dem Datenträger des Verlaufs ist wieder Platz: Die Aufzeichnung geht weiter (%n Nachricht nicht aufgezeichnet).</numerusform>
            <numerusform>Auf dem Datenträger des Verlaufs ist wieder Platz: Die Aufzeichnung geht weiter (%n Nachrichten nicht aufgezeichnet).</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="343"/>
        <source>The history is written again.</source>
        <translation>Der Verlauf wird wieder geschrieben.</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/LanyxApp.cpp" line="345"/>
        <source>%n message(s) not recorded in the history: it could not keep up.</source>
        <translation>
            <numerusform>%n Nachricht nicht im Verlauf aufgezeichnet: Er kam nicht nach.</numerusform>
            <numerusform>%n Nachrichten nicht im Verlauf aufgezeichnet: Er kam nicht nach.</numerusform>
        </translation>
    </message>
    <message>
        <source>Conversations - Lanyx</source>
        <translation>Unterhaltungen - Lanyx</translation>
    </message>
    <message>
        <source>This shared chat is no longer kept here: its lines are in the History window.</source>
        <translation>Dieser gemeinsame Chat wird hier nicht mehr geführt: Seine Zeilen sind im Verlaufsfenster.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::NetworkPage</name>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="60"/>
        <source>Lanyx sends to every network this computer is on. For offices behind a router, every message also goes to these destinations, one a line: host names, addresses, or the broadcast address of another subnet (such as 10.2.255.255).</source>
        <translation>Lanyx sendet in jedes Netzwerk, in dem dieser Computer ist. Für Büros hinter einem Router geht jede Nachricht außerdem an diese Ziele, eines pro Zeile: Hostnamen, Adressen oder die Broadcast-Adresse eines anderen Subnetzes (etwa 10.2.255.255).</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="63"/>
        <source>Extra destinations</source>
        <translation>Weitere Ziele</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="64"/>
        <source>One host name or address a line</source>
        <translation>Ein Hostname oder eine Adresse pro Zeile</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="67"/>
        <source>%1 %2/%3 (broadcast %4)</source>
        <translation>%1 %2/%3 (Broadcast %4)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="71"/>
        <source>No network interface that can broadcast was found.</source>
        <translation>Es wurde keine Netzwerkschnittstelle gefunden, die Broadcasts senden kann.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="72"/>
        <source>Sent through: %1</source>
        <translation>Gesendet über: %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="96"/>
        <source>empty</source>
        <translation>leer</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="97"/>
        <source>longer than 253 characters</source>
        <translation>länger als 253 Zeichen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="98"/>
        <source>an empty part between dots</source>
        <translation>ein leerer Teil zwischen Punkten</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="99"/>
        <source>a part ends with &quot;-&quot;</source>
        <translation>ein Teil endet mit „-“</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="100"/>
        <source>an IPv6 address (only IPv4 is used)</source>
        <translation>eine IPv6-Adresse (nur IPv4 wird verwendet)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="101"/>
        <source>not a host name or IPv4 address</source>
        <translation>kein Hostname und keine IPv4-Adresse</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="102"/>
        <source>a part begins with &quot;-&quot;</source>
        <translation>ein Teil beginnt mit „-“</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="103"/>
        <source>a part longer than 63 characters</source>
        <translation>ein Teil länger als 63 Zeichen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="104"/>
        <source>ends with a dot</source>
        <translation>endet mit einem Punkt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="105"/>
        <source>not a valid IPv4 address</source>
        <translation>keine gültige IPv4-Adresse</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="118"/>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="155"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="123"/>
        <source>%1: more than %2 destinations</source>
        <translation>%1: mehr als %2 Ziele</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="153"/>
        <source>%1: being looked up</source>
        <translation>%1: wird nachgeschlagen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="154"/>
        <source>%1: does not resolve</source>
        <translation>%1: nicht auflösbar</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::PopupSummary</name>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="58"/>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="62"/>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="167"/>
        <source>Alerts not shown</source>
        <translation>Nicht angezeigte Meldungen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="59"/>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="60"/>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="61"/>
        <source>&amp;Show</source>
        <translation>&amp;Anzeigen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="63"/>
        <source>Senders whose alerts found no place on the screen; Enter shows them</source>
        <translation>Absender, deren Meldungen keinen Platz auf dem Bildschirm fanden; die Eingabetaste zeigt sie an</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="156"/>
        <source>1 alert</source>
        <translation>1 Meldung</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="156"/>
        <source>%1 alerts</source>
        <translation>%1 Meldungen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="157"/>
        <source>%1: %2, the last at %3: %4</source>
        <translation>%1: %2, die letzte um %3: %4</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="166"/>
        <source>(%1 more not kept)</source>
        <translation>(%1 weitere nicht behalten)</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::SendFileActions</name>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="40"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="46"/>
        <source>%1 items</source>
        <translation>%1 Elemente</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="47"/>
        <source>Offered %1 to %2.</source>
        <translation>%1 wurde %2 angeboten.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="51"/>
        <source>Not offered to %1</source>
        <translation>Nicht angeboten an %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="58"/>
        <source>Send Folder</source>
        <translation>Ordner senden</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="58"/>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="135"/>
        <source>Send Files</source>
        <translation>Dateien senden</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="67"/>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="105"/>
        <source>Send &amp;File...</source>
        <translation>&amp;Datei senden...</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="69"/>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="106"/>
        <source>Send F&amp;older...</source>
        <translation>&amp;Ordner senden...</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="110"/>
        <source>File transfers are not available.</source>
        <translation>Dateiübertragungen sind nicht verfügbar.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::TransferRowWidget</name>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="82"/>
        <source>&amp;Accept...</source>
        <translation>&amp;Annehmen...</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="83"/>
        <source>&amp;Decline</source>
        <translation>A&amp;blehnen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="84"/>
        <source>&amp;Cancel</source>
        <translation>Ab&amp;brechen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="85"/>
        <source>&amp;Retry</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="86"/>
        <source>&amp;Open Folder</source>
        <translation>Ordner ö&amp;ffnen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="90"/>
        <source>Progress of %1</source>
        <translation>Fortschritt von %1</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::TransferUi</name>
    <message>
        <location filename="../../../chat/transfer/ui/TransferUi.cpp" line="69"/>
        <source>Files offered</source>
        <translation>Dateien angeboten</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferUi.cpp" line="70"/>
        <source>%1 offers %2; answer in the Transfers window.</source>
        <translation>%1 bietet %2 an; antworten Sie im Fenster Übertragungen.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferUi.cpp" line="91"/>
        <source>Transfer finished</source>
        <translation>Übertragung beendet</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferUi.cpp" line="91"/>
        <source>Transfer failed</source>
        <translation>Übertragung fehlgeschlagen</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::TransferView</name>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="35"/>
        <source>%1 items</source>
        <translation>%1 Elemente</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="36"/>
        <source>%1 and %2 more</source>
        <translation>%1 und %2 weitere</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="46"/>
        <source>%1 s left</source>
        <translation>noch %1 s</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="48"/>
        <source>%1 min left</source>
        <translation>noch %1 min</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="51"/>
        <source>%1 h left</source>
        <translation>noch %1 h</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="52"/>
        <source>%1 h %2 min left</source>
        <translation>noch %1 h %2 min</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="64"/>
        <source>To %1</source>
        <translation>An %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="65"/>
        <source>From %1</source>
        <translation>Von %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="70"/>
        <source>Declined</source>
        <translation>Abgelehnt</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="73"/>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="101"/>
        <source>Sent %1 to %2.</source>
        <translation>%1 an %2 gesendet.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="102"/>
        <source>Received %1 from %2 into %3.</source>
        <translation>%1 von %2 in %3 empfangen.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="105"/>
        <source>Sending %1 to %2 failed%3.</source>
        <translation>Senden von %1 an %2 fehlgeschlagen%3.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="107"/>
        <source>Receiving %1 from %2 failed%3.</source>
        <translation>Empfang von %1 von %2 fehlgeschlagen%3.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="110"/>
        <source>%1 declined %2.</source>
        <translation>%1 hat %2 abgelehnt.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="111"/>
        <source>Declined %1 from %2.</source>
        <translation>%1 von %2 abgelehnt.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="113"/>
        <source>Sending %1 to %2 was cancelled%3.</source>
        <translation>Senden von %1 an %2 wurde abgebrochen%3.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="115"/>
        <source>Receiving %1 from %2 was cancelled%3.</source>
        <translation>Empfang von %1 von %2 wurde abgebrochen%3.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="132"/>
        <source>%1 cannot receive files.</source>
        <translation>%1 kann keine Dateien empfangen.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="136"/>
        <source>Files go to named users: choose one.</source>
        <translation>Dateien gehen an einzelne Benutzer: Wählen Sie einen aus.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::UserListModel</name>
    <message>
        <source>verified</source>
        <translation type="vanished">verifiziert</translation>
    </message>
    <message>
        <source>key changed</source>
        <translation type="vanished">Schlüssel geändert</translation>
    </message>
    <message>
        <source>not verified</source>
        <translation type="vanished">nicht verifiziert</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="98"/>
        <source>checked by you</source>
        <translation>von Ihnen geprüft</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="99"/>
        <source>new key, not checked</source>
        <translation>neuer Schlüssel, nicht geprüft</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="100"/>
        <source>key known, not heard with it since listed</source>
        <translation>Schlüssel bekannt, seit Aufnahme in die Liste nichts damit empfangen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="101"/>
        <source>key changed: nothing private is sent until you check it</source>
        <translation>Schlüssel geändert: Nichts Privates wird gesendet, bis Sie ihn prüfen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="102"/>
        <source>a copy without keys uses this name too: check the key</source>
        <translation>ein Exemplar ohne Schlüssel verwendet diesen Namen ebenfalls: Prüfen Sie den Schlüssel</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="103"/>
        <source>no keys: what this user sends and gets is not protected</source>
        <translation>keine Schlüssel: Was dieser Benutzer sendet und empfängt, ist nicht geschützt</translation>
    </message>
    <message>
        <source>you</source>
        <translation>du</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmAbout</name>
    <message>
        <location filename="../../../chat/ui/frmAbout.cpp" line="93"/>
        <source>The program&apos;s pages on the web</source>
        <translation>Die Seiten des Programms im Web</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmAbout.cpp" line="96"/>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmAbout.cpp" line="143"/>
        <source>Lanyx - chat and alerts for your local network.

Copyright (C) the Lanyx developers.

Lanyx talks to the other copies on your network segment directly: there is no server, and nothing you send leaves the segment. </source>
        <translation>Lanyx - Chat und Meldungen für Ihr lokales Netzwerk.

Copyright (C) die Lanyx-Entwickler.

Lanyx spricht direkt mit den anderen Exemplaren in Ihrem Netzwerksegment: Es gibt keinen Server, und nichts, was Sie senden, verlässt das Segment. </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmAbout.cpp" line="149"/>
        <source>This copy has no keys: messages travel as plain text and anyone on the segment can read them or send under any name, so do not use Lanyx for secrets.</source>
        <translation>Dieses Exemplar hat keine Schlüssel: Nachrichten reisen als Klartext, und jeder im Segment kann sie lesen oder unter beliebigem Namen senden. Verwenden Sie Lanyx deshalb nicht für Geheimnisse.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmAbout.cpp" line="151"/>
        <source>Between copies of this Lanyx, what you send is signed and private messages are encrypted; public alerts and chat lines can still be read by anyone on the segment. Copies of the original protocol have no keys: what goes to and from them travels as plain text that anyone on the segment can read or send under any name.</source>
        <translation>Zwischen Exemplaren dieses Lanyx wird alles, was Sie senden, signiert, und private Nachrichten werden verschlüsselt; öffentliche Meldungen und Chatzeilen kann trotzdem jeder im Segment lesen. Exemplare des ursprünglichen Protokolls haben keine Schlüssel: Was an sie geht oder von ihnen kommt, reist als Klartext, den jeder im Segment lesen oder unter beliebigem Namen senden kann.</translation>
    </message>
    <message>
        <source>Lanyx - chat and alerts for your local network.

Copyright (C) the Lanyx developers.

Lanyx talks to the other copies on your network segment directly: there is no server. Between copies with keys, private messages are encrypted and everything is signed; what goes to or comes from copies without keys travels as plain text, which anyone on the segment can read or send under any name.</source>
        <translation type="vanished">Lanyx - Chat und Meldungen für Ihr lokales Netzwerk.

Copyright (C) die Lanyx-Entwickler.

Lanyx spricht direkt mit den anderen Exemplaren in Ihrem Netzwerksegment: Es gibt keinen Server. Zwischen Exemplaren mit Schlüsseln werden private Nachrichten verschlüsselt und alles wird signiert; was an Exemplare ohne Schlüssel geht oder von ihnen kommt, reist als Klartext, den jeder im Segment lesen oder unter beliebigem Namen senden kann.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmAbout.cpp" line="159"/>
        <source>Lanyx is free software: you may use, copy, change and pass it on, alone or with other programs, provided that this notice stays with every copy and that changed copies say that they were changed.

Lanyx comes with no warranty of any kind, not even that it is fit for a particular purpose. The authors are not liable for any damage that comes from using it, as far as the law allows.</source>
        <translation>Lanyx ist freie Software: Sie dürfen sie benutzen, kopieren, ändern und weitergeben, allein oder mit anderen Programmen, sofern dieser Hinweis jedem Exemplar beiliegt und geänderte Exemplare angeben, dass sie geändert wurden.

Lanyx wird ohne jede Gewährleistung geliefert, nicht einmal dafür, dass es sich für einen bestimmten Zweck eignet. Die Autoren haften nicht für Schäden durch seine Benutzung, soweit das Gesetz es erlaubt.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmBox</name>
    <message>
        <source>The key of %1 has changed. Either %1&apos;s program was reinstalled or its data folder lost, or somebody else is using the name %1. Until you accept the new key, %1&apos;s leave notices, status and colour are ignored and messages from %1 are marked &quot;not verified&quot;. Compare the fingerprints with %1 in person or by phone before you accept the new key.</source>
        <translation type="vanished">Der Schlüssel von %1 hat sich geändert. Entweder wurde das Programm von %1 neu installiert oder sein Datenordner ging verloren, oder jemand anderes benutzt den Namen %1. Bis Sie den neuen Schlüssel annehmen, werden Abmeldungen, Status und Farbe von %1 nicht beachtet und Nachrichten von %1 als „nicht verifiziert“ markiert. Vergleichen Sie die Fingerabdrücke persönlich oder am Telefon mit %1, bevor Sie den neuen Schlüssel annehmen.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/BoxMessage.cpp" line="109"/>
        <source>The key of %1 has changed. Either %1&apos;s program was reinstalled or its data folder lost, or somebody else is using the name %1. Until you decide, nothing private is sent to %1, and what the new key signs is marked &quot;not verified&quot; (leave notices, status and colour from it are ignored). Compare the safety number in %1&apos;s information with %1 in person or by phone: accept the new key only when both of you see the same number.</source>
        <translation>Der Schlüssel von %1 hat sich geändert. Entweder wurde das Programm von %1 neu installiert oder sein Datenordner ging verloren, oder jemand anderes benutzt den Namen %1. Bis Sie sich entscheiden, wird nichts Privates an %1 gesendet, und was der neue Schlüssel signiert, wird als „nicht verifiziert“ markiert (Abmeldungen, Status und Farbe daraus werden nicht beachtet). Vergleichen Sie die Sicherheitsnummer in den Benutzerinformationen zu %1 persönlich oder am Telefon mit %1: Nehmen Sie den neuen Schlüssel nur an, wenn Sie beide dieselbe Nummer sehen.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/BoxMessage.cpp" line="124"/>
        <location filename="../../../chat/ui/BoxMessage.cpp" line="153"/>
        <source>User &amp;information...</source>
        <translation>Benutzer&amp;informationen...</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/BoxMessage.cpp" line="138"/>
        <source>%1 is now called %2, a name in your groups or your history. What comes under the name %2 from now on is signed by %1&apos;s key: if %2 is somebody else to you, tell them apart before you write. A check of %1&apos;s key counts under the new name only once you compared the safety number in %2&apos;s information again.</source>
        <translation>%1 heißt jetzt %2, ein Name in Ihren Gruppen oder Ihrem Verlauf. Was von nun an unter dem Namen %2 kommt, ist mit dem Schlüssel von %1 signiert: Ist %2 für Sie jemand anderes, halten Sie die beiden auseinander, bevor Sie schreiben. Eine Prüfung des Schlüssels von %1 gilt unter dem neuen Namen erst, wenn Sie die Sicherheitsnummer in den Informationen zu %2 erneut verglichen haben.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/BoxMessage.cpp" line="170"/>
        <source>The list of blocked users holds %1 names, all that Lanyx keeps: %2 more were not blocked. Unblock names you no longer need to make room.</source>
        <translation>Die Liste der blockierten Benutzer enthält %1 Namen, so viele, wie Lanyx behält: %2 weitere wurden nicht blockiert. Heben Sie Blockierungen auf, die Sie nicht mehr brauchen, um Platz zu schaffen.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/BoxMessage.cpp" line="175"/>
        <source>Lanyx keeps %1 groups: %2 more were left out.</source>
        <translation>Lanyx behält %1 Gruppen: %2 weitere wurden weggelassen.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmChat</name>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="195"/>
        <source>Members to mention</source>
        <translation>Zu erwähnende Mitglieder</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="1"/>
        <source>Seen by %1</source>
        <translation>Gesehen von %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="330"/>
        <source>%1 is typing…</source>
        <translation>%1 schreibt…</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="330"/>
        <source>%1 are typing…</source>
        <translation>%1 schreiben…</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="191"/>
        <source>&amp;Take back the waiting line</source>
        <translation>Wartende Zeile &amp;zurücknehmen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="289"/>
        <source>History with %1</source>
        <translation>Verlauf mit %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="290"/>
        <location filename="../../../chat/ui/frmChat.cpp" line="292"/>
        <source>History of this chat</source>
        <translation>Verlauf dieses Chats</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="352"/>
        <source>Members</source>
        <translation>Teilnehmer</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="353"/>
        <source>The members of this chat; the Users menu adds and removes them</source>
        <translation>Die Teilnehmer dieses Chats; das Menü Benutzer fügt sie hinzu und entfernt sie</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="354"/>
        <source>Conversation</source>
        <translation>Gespräch</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="356"/>
        <source>Each line begins with its sender; your lines to named members end with what became of them</source>
        <translation>Jede Zeile beginnt mit ihrem Absender; Ihre Zeilen an einzelne Teilnehmer enden damit, was aus ihnen wurde</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="357"/>
        <source>Your line</source>
        <translation>Ihre Zeile</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="358"/>
        <source>Enter sends it to the members</source>
        <translation>Die Eingabetaste sendet sie an die Teilnehmer</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="360"/>
        <source>Delivery</source>
        <translation>Zustellung</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="437"/>
        <source>Everybody present is in this chat</source>
        <translation>Alle Anwesenden sind in diesem Chat</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="469"/>
        <source>away: left the network, lines wait for the return</source>
        <translation>abwesend: hat das Netzwerk verlassen, Zeilen warten auf die Rückkehr</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="472"/>
        <source>does not share this chat: sees the lines sent to it, not who is in it</source>
        <translation>teilt diesen Chat nicht: sieht die Zeilen an sich, nicht, wer dabei ist</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="481"/>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="496"/>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="500"/>
        <source>Chat lines do not reach %1 now.</source>
        <translation>Chatzeilen erreichen %1 zurzeit nicht.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="597"/>
        <source>%1 left the network.</source>
        <translation>%1 hat das Netzwerk verlassen.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="620"/>
        <source>%1 was removed from this chat.</source>
        <translation>%1 wurde aus diesem Chat entfernt.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="640"/>
        <source>The line could not be sent.

%1: %2</source>
        <translation>Die Zeile konnte nicht gesendet werden.

%1: %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="677"/>
        <source>%1 delivered</source>
        <translation>%1 zugestellt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="677"/>
        <source>delivered</source>
        <translation>zugestellt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="678"/>
        <source>%1 not confirmed</source>
        <translation>%1 nicht bestätigt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="678"/>
        <source>not confirmed</source>
        <translation>nicht bestätigt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="679"/>
        <source>%1 sent</source>
        <translation>%1 gesendet</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="679"/>
        <source>sent</source>
        <translation>gesendet</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="680"/>
        <source>%1 not sent</source>
        <translation>%1 nicht gesendet</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="680"/>
        <source>not sent</source>
        <translation>nicht gesendet</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="681"/>
        <source>%1 queued</source>
        <translation>%1 in Warteschlange</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="681"/>
        <source>queued</source>
        <translation>in Warteschlange</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="682"/>
        <source>%1 waiting</source>
        <translation>%1 warten</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="682"/>
        <source>waiting</source>
        <translation>wartet</translation>
    </message>
    <message>
        <source>Status line</source>
        <translation>Statuszeile</translation>
    </message>
    <message>
        <source>Member</source>
        <translation>Mitglied</translation>
    </message>
    <message>
        <source>Key</source>
        <translation>Schlüssel</translation>
    </message>
    <message>
        <source>Participants</source>
        <translation>Teilnehmer</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmCom</name>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="107"/>
        <source>&amp;Take back the waiting alert</source>
        <translation>Wartende Meldung &amp;zurücknehmen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="145"/>
        <source>The recipients; the context menu sends files to them</source>
        <translation>Die Empfänger; das Kontextmenü sendet ihnen Dateien</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="147"/>
        <source>Ctrl+Enter sends, Escape closes</source>
        <translation>Strg+Eingabe sendet, Esc schließt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="148"/>
        <source>Delivery</source>
        <translation>Zustellung</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="149"/>
        <source>What became of the alert, per recipient</source>
        <translation>Was aus der Meldung wurde, je Empfänger</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="182"/>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="195"/>
        <source>%1 will not see this alert now: the status is &quot;%2&quot;.</source>
        <translation>%1 sieht diese Meldung zurzeit nicht: Der Status ist „%2“.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="210"/>
        <source>The alert could not be sent.

%1: %2</source>
        <translation>Die Meldung konnte nicht gesendet werden.

%1: %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="242"/>
        <source>%1: in the clear, sent; %1 is not on the network now and will not get it</source>
        <translation>%1: unverschlüsselt gesendet; %1 ist gerade nicht im Netzwerk und erhält die Nachricht nicht</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="247"/>
        <source>Waits on this computer; the context menu takes it back</source>
        <translation>Wartet auf diesem Computer; über das Kontextmenü nehmen Sie sie zurück</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="266"/>
        <source>Not every recipient was sent the alert: the list above says why.</source>
        <translation>Die Meldung wurde nicht an jeden Empfänger gesendet: Die Liste oben nennt den Grund.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="267"/>
        <source>Not every recipient confirmed the alert. It may not have arrived: the program there may have ended, or the computer left the network.</source>
        <translation>Nicht jeder Empfänger hat die Meldung bestätigt. Sie ist vielleicht nicht angekommen: Das Programm dort wurde womöglich beendet, oder der Computer hat das Netzwerk verlassen.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="278"/>
        <source>The alert waits, encrypted, on this computer for %1 and goes when they come on the network. Right-click a waiting row to take it back.</source>
        <translation>Die Meldung wartet verschlüsselt auf diesem Computer auf %1 und geht hinaus, sobald sie ins Netzwerk kommen. Mit einem Rechtsklick auf eine wartende Zeile nehmen Sie sie zurück.</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>Recipient</source>
        <translation>Empfänger</translation>
    </message>
    <message>
        <source>Key</source>
        <translation>Schlüssel</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmHistory</name>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="220"/>
        <source>History - Lanyx</source>
        <translation>Verlauf - Lanyx</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="221"/>
        <source>&amp;Search:</source>
        <translation>&amp;Suchen:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="222"/>
        <source>words, &quot;a phrase&quot;, this OR that, -without</source>
        <translation>Wörter, &quot;ein Satz&quot;, dies OR das, -ohne</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="223"/>
        <source>Search the history</source>
        <translation>Verlauf durchsuchen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="225"/>
        <source>All words must match; &quot;a phrase&quot; matches these words together; a OR b matches either; -word leaves out what has it.</source>
        <translation>Alle Wörter müssen passen; &quot;ein Satz&quot; findet diese Wörter zusammen; a OR b findet eines von beiden; -wort lässt aus, was es enthält.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="227"/>
        <source>Conversation</source>
        <translation>Gespräch</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="227"/>
        <source>Last</source>
        <translation>Zuletzt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="228"/>
        <source>Conversations</source>
        <translation>Gespräche</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="229"/>
        <source>When</source>
        <translation>Wann</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="229"/>
        <source>Who</source>
        <translation>Wer</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="229"/>
        <source>Message</source>
        <translation>Nachricht</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="230"/>
        <source>Messages</source>
        <translation>Nachrichten</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="231"/>
        <source>The lines around the selected message</source>
        <translation>Die Zeilen um die ausgewählte Nachricht</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="232"/>
        <source>&amp;Go to Conversation</source>
        <translation>&amp;Zum Gespräch</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="233"/>
        <source>Go to the conversation of the selected message</source>
        <translation>Zum Gespräch der ausgewählten Nachricht wechseln</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="234"/>
        <source>&amp;Export...</source>
        <translation>&amp;Exportieren...</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="235"/>
        <source>Export the selected messages</source>
        <translation>Die ausgewählten Nachrichten exportieren</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="236"/>
        <source>&amp;Delete Conversation</source>
        <translation>Gespräch &amp;löschen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="237"/>
        <source>Delete this conversation</source>
        <translation>Dieses Gespräch löschen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="238"/>
        <source>Delete &amp;All</source>
        <translation>&amp;Alles löschen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="239"/>
        <source>Delete the whole history</source>
        <translation>Den gesamten Verlauf löschen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="240"/>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="241"/>
        <location filename="../../../chat/ui/frmHistory.cpp" line="264"/>
        <source>All messages</source>
        <translation>Alle Nachrichten</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/frmHistory.cpp" line="273"/>
        <location filename="../../../chat/ui/frmHistory.cpp" line="331"/>
        <source>%n message(s)</source>
        <translation>
            <numerusform>%n Nachricht</numerusform>
            <numerusform>%n Nachrichten</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="331"/>
        <source>The history cannot be read.</source>
        <translation>Der Verlauf kann nicht gelesen werden.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="345"/>
        <source>Type a word to search for.</source>
        <translation>Geben Sie ein Wort ein, nach dem gesucht werden soll.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="365"/>
        <source>Nothing found.</source>
        <translation>Nichts gefunden.</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/frmHistory.cpp" line="366"/>
        <source>%n found</source>
        <translation>
            <numerusform>%n Treffer</numerusform>
            <numerusform>%n Treffer</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="366"/>
        <source> in %1 ms</source>
        <translation> in %1 ms</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="367"/>
        <source> (the newest)</source>
        <translation> (die neuesten)</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/frmHistory.cpp" line="474"/>
        <source>%n message(s) exported</source>
        <translation>
            <numerusform>%n Nachricht exportiert</numerusform>
            <numerusform>%n Nachrichten exportiert</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="487"/>
        <source>Delete every message kept of the conversation &quot;%1&quot;? This cannot be undone.</source>
        <translation>Alle gespeicherten Nachrichten des Gesprächs „%1“ löschen? Das kann nicht rückgängig gemacht werden.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="490"/>
        <location filename="../../../chat/ui/frmHistory.cpp" line="505"/>
        <source>Deleting...</source>
        <translation>Wird gelöscht...</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="493"/>
        <source>Deleted.</source>
        <translation>Gelöscht.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="502"/>
        <source>Delete the whole history, every message of every conversation? This cannot be undone.</source>
        <translation>Den gesamten Verlauf löschen, jede Nachricht jedes Gesprächs? Das kann nicht rückgängig gemacht werden.</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/frmHistory.cpp" line="62"/>
        <source>%n more line(s) from %1 not kept</source>
        <translation>
            <numerusform>%n weitere Zeile von %1 nicht aufbewahrt</numerusform>
            <numerusform>%n weitere Zeilen von %1 nicht aufbewahrt</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="63"/>
        <source>other senders</source>
        <translation>anderen Absendern</translation>
    </message>
    <message>
        <source>sent</source>
        <translation>gesendet</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>wartet</translation>
    </message>
    <message>
        <source>delivered</source>
        <translation>zugestellt</translation>
    </message>
    <message>
        <source>not confirmed</source>
        <translation>nicht bestätigt</translation>
    </message>
    <message>
        <source>queued</source>
        <translation>in Warteschlange</translation>
    </message>
    <message>
        <source>expired</source>
        <translation>abgelaufen</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>zurückgenommen</translation>
    </message>
    <message>
        <source>(alert)</source>
        <translation>(Meldung)</translation>
    </message>
    <message>
        <source>(message box)</source>
        <translation>(Meldungsfenster)</translation>
    </message>
    <message>
        <source>(file sent)</source>
        <translation>(Datei gesendet)</translation>
    </message>
    <message>
        <source>(file received)</source>
        <translation>(Datei empfangen)</translation>
    </message>
    <message>
        <source>(picture)</source>
        <translation>(Bild)</translation>
    </message>
    <message>
        <source>(transfer declined)</source>
        <translation>(Übertragung abgelehnt)</translation>
    </message>
    <message>
        <source>(transfer cancelled)</source>
        <translation>(Übertragung abgebrochen)</translation>
    </message>
    <message>
        <source>(transfer failed)</source>
        <translation>(Übertragung fehlgeschlagen)</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 Datei</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 Dateien</translation>
    </message>
    <message>
        <source>1 byte</source>
        <translation>1 Byte</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 Bytes</translation>
    </message>
    <message>
        <source>%1: everybody</source>
        <translation>%1: alle</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmMain</name>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="392"/>
        <source>More</source>
        <translation>Mehr</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="182"/>
        <source>Drop files onto a user.</source>
        <translation>Legen Sie Dateien auf einem Benutzer ab.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="259"/>
        <location filename="../../../chat/ui/frmMain.cpp" line="371"/>
        <source>&amp;History...</source>
        <translation>Ver&amp;lauf...</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="366"/>
        <source>&amp;Refresh</source>
        <translation>&amp;Aktualisieren</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="367"/>
        <source>Everybody on the network announces himself again</source>
        <translation>Alle im Netzwerk melden sich erneut</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="368"/>
        <location filename="../../../chat/ui/frmMain.cpp" line="369"/>
        <source>&amp;Transfers</source>
        <translation>Ü&amp;bertragungen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="372"/>
        <source>Search the messages kept</source>
        <translation>Die aufbewahrten Nachrichten durchsuchen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="374"/>
        <source>User &amp;information...</source>
        <translation>Benutzer&amp;informationen...</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="379"/>
        <source>Users</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="381"/>
        <source>Everybody present, then your groups. Enter sends an alert; the Menu key or Shift+F10 opens the user&apos;s menu</source>
        <translation>Alle Anwesenden, dann Ihre Gruppen. Die Eingabetaste sendet eine Meldung; die Menütaste oder Umschalt+F10 öffnet das Menü des Benutzers</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="383"/>
        <source>Status line</source>
        <translation>Statuszeile</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="384"/>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="725"/>
        <source>&amp;Unblock</source>
        <translation>&amp;Entsperren</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="737"/>
        <source>History with %1</source>
        <translation>Verlauf mit %1</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>&amp;Users</source>
        <translation>&amp;Benutzer</translation>
    </message>
    <message>
        <source>C&amp;onversations</source>
        <translation>U&amp;nterhaltungen</translation>
    </message>
    <message>
        <source>Your chats and the people you wrote with, newest first; known users who are away, greyed</source>
        <translation>Ihre Chats und die Personen, mit denen Sie geschrieben haben, die neuesten zuerst; bekannte Benutzer, die abwesend sind, grau</translation>
    </message>
    <message>
        <source>Lanyx stays in the notification area of the task bar when this window is minimised or hidden: its icon there brings the window back, and its menu has everything else.</source>
        <translation>Lanyx bleibt im Infobereich der Taskleiste, wenn dieses Fenster minimiert oder ausgeblendet wird: Sein Symbol dort holt das Fenster zurück, und sein Menü hat alles Weitere.</translation>
    </message>
    <message>
        <source>This desktop shows no notification area: Lanyx keeps this window; minimised, it waits in the task bar.</source>
        <translation>Dieser Desktop zeigt keinen Infobereich: Lanyx behält dieses Fenster; minimiert wartet es in der Taskleiste.</translation>
    </message>
    <message>
        <source>Welcome to Lanyx. The others on the network see you as &quot;%1&quot;; %2 changes the name and its colour.</source>
        <translation>Willkommen bei Lanyx. Die anderen im Netzwerk sehen Sie als „%1“; unter %2 ändern Sie den Namen und seine Farbe.</translation>
    </message>
    <message>
        <source>Close this note</source>
        <translation>Diesen Hinweis schließen</translation>
    </message>
    <message>
        <source>Welcome</source>
        <translation>Willkommen</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmOffer</name>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="59"/>
        <source>Save the files in</source>
        <translation>Dateien speichern in</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="117"/>
        <source>Files from %1 - Lanyx</source>
        <translation>Dateien von %1 - Lanyx</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="118"/>
        <source>%1 offers you files.</source>
        <translation>%1 bietet Ihnen Dateien an.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="124"/>
        <source>From:</source>
        <translation>Von:</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="125"/>
        <source>Files:</source>
        <translation>Dateien:</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="126"/>
        <source>Size:</source>
        <translation>Größe:</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="127"/>
        <source>Save &amp;in:</source>
        <translation>Speichern &amp;in:</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="128"/>
        <source>&amp;Browse...</source>
        <translation>&amp;Durchsuchen...</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="129"/>
        <source>&amp;Accept</source>
        <translation>&amp;Annehmen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="130"/>
        <source>&amp;Decline</source>
        <translation>A&amp;blehnen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="146"/>
        <source>Choose the folder the files go into.</source>
        <translation>Wählen Sie den Ordner, in den die Dateien kommen.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="158"/>
        <source>The offer could not be accepted.</source>
        <translation>Das Angebot konnte nicht angenommen werden.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmOpt</name>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="1"/>
        <source>Tell others when I have &amp;seen their lines</source>
        <translation>Anderen zeigen, dass ich ihre Zeilen &amp;gesehen habe</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="1"/>
        <source>Lanyx copies of the others show "seen" under their line once your chat window showed it</source>
        <translation>Die Lanyx-Kopien der anderen zeigen „gesehen“ unter ihrer Zeile, sobald Ihr Chatfenster sie gezeigt hat</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="343"/>
        <source>Language/Langage/Sprache/Lenguaje:</source>
        <translation>Language/Langage/Sprache/Lenguaje:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="512"/>
        <source>&amp;Network</source>
        <translation>&amp;Netzwerk</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="526"/>
        <source>&amp;Run Lanyx on StartUp</source>
        <translation>Lanyx beim &amp;Anmelden starten</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="527"/>
        <source>Starts Lanyx when you log in to the desktop</source>
        <translation>Startet Lanyx, wenn Sie sich am Desktop anmelden</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="529"/>
        <source>&amp;Desktop notifications for alerts</source>
        <translation>&amp;Desktop-Benachrichtigungen für Meldungen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="530"/>
        <source>Alerts go to the desktop&apos;s notification service instead of popups</source>
        <translation>Meldungen gehen an den Benachrichtigungsdienst des Desktops statt in Popups</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="531"/>
        <source>Sound for a chat line in the &amp;background</source>
        <translation>Ton für eine Chatzeile im &amp;Hintergrund</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="532"/>
        <source>&amp;Keep the history of messages for</source>
        <translation>Nachrichten im &amp;Verlauf behalten für</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="533"/>
        <source>ever</source>
        <translation>immer</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="534"/>
        <location filename="../../../chat/ui/frmOpt.cpp" line="538"/>
        <source> days</source>
        <translation> Tage</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="535"/>
        <source>Days the history keeps messages; 0 keeps them for ever</source>
        <translation>Tage, die der Verlauf Nachrichten behält; 0 behält sie für immer</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="536"/>
        <source>Older messages are deleted from the history, and their words from its index.</source>
        <translation>Ältere Nachrichten werden aus dem Verlauf gelöscht und ihre Wörter aus seinem Index.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="537"/>
        <source>A message to someone not on the network &amp;waits for</source>
        <translation>Eine Nachricht an jemanden, der nicht im Netzwerk ist, &amp;wartet</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="539"/>
        <source>Days a message waits for a recipient who is not on the network</source>
        <translation>Tage, die eine Nachricht auf einen Empfänger wartet, der nicht im Netzwerk ist</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="541"/>
        <source>Messages to users whose key is known wait encrypted on this computer and go when the user is seen; after this time they are given up, and you are told.</source>
        <translation>Nachrichten an Benutzer mit bekanntem Schlüssel warten verschlüsselt auf diesem Computer und gehen hinaus, sobald der Benutzer zu sehen ist; nach dieser Zeit werden sie aufgegeben, und Sie erfahren es.</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/frmOpt.cpp" line="788"/>
        <source>Messages older than %n day(s) are deleted from the history now. Go on?</source>
        <translation>
            <numerusform>Nachrichten, die älter als %n Tag sind, werden jetzt aus dem Verlauf gelöscht. Fortfahren?</numerusform>
            <numerusform>Nachrichten, die älter als %n Tage sind, werden jetzt aus dem Verlauf gelöscht. Fortfahren?</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="816"/>
        <source>The destinations could not be saved: %1</source>
        <translation>Die Ziele konnten nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="851"/>
        <source>These destinations are no host name or IPv4 address:
%1</source>
        <translation>Diese Ziele sind weder Hostname noch IPv4-Adresse:
%1</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmPop</name>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="70"/>
        <source>%1 · %2</source>
        <translation>%1 · %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="71"/>
        <source>Private</source>
        <translation>Privat</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="71"/>
        <source>To everyone</source>
        <translation>An alle</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="239"/>
        <source>Menu: reply, chat, block, export</source>
        <translation>Menü: antworten, chatten, sperren, exportieren</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="240"/>
        <source>Menu</source>
        <translation>Menü</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="242"/>
        <source>Alert</source>
        <translation>Meldung</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="243"/>
        <source>Alerts</source>
        <translation>Meldungen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="243"/>
        <source>Alerts from %1</source>
        <translation>Meldungen von %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="244"/>
        <source>Newest first, each with its time and whether it was private</source>
        <translation>Neueste zuerst, jede mit Uhrzeit und ob sie privat war</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="245"/>
        <location filename="../../../chat/ui/frmPop.cpp" line="349"/>
        <source>%1 older alerts were not kept: too many to keep.</source>
        <translation>%1 ältere Meldungen wurden nicht behalten: zu viele.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="282"/>
        <source>(%1 more characters: export or copy the alert to read all of it)</source>
        <translation>(%1 weitere Zeichen: Exportieren oder kopieren Sie die Meldung, um alles zu lesen)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="500"/>
        <source>%1 could not be written.

%2</source>
        <translation>%1 konnte nicht geschrieben werden.

%2</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmSave</name>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="94"/>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="95"/>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="96"/>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="105"/>
        <location filename="../../../chat/ui/frmSave.cpp" line="106"/>
        <location filename="../../../chat/ui/frmSave.cpp" line="128"/>
        <location filename="../../../chat/ui/frmSave.cpp" line="129"/>
        <source>Parent folder</source>
        <translation>Übergeordneter Ordner</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="147"/>
        <source>68: Device unavailable</source>
        <translation>68: Gerät nicht verfügbar</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmTransfers</name>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="148"/>
        <source>Transfers - Lanyx</source>
        <translation>Übertragungen - Lanyx</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="149"/>
        <source>No transfers yet. Send files from a user&apos;s menu, or drop them onto a user.</source>
        <translation>Noch keine Übertragungen. Senden Sie Dateien über das Menü eines Benutzers oder legen Sie sie auf einem Benutzer ab.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="150"/>
        <source>C&amp;lear Finished</source>
        <translation>Beendete &amp;entfernen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="151"/>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="152"/>
        <source>Transfers</source>
        <translation>Übertragungen</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="165"/>
        <source>No program here opens folders. The files are in:
%1</source>
        <translation>Hier öffnet kein Programm Ordner. Die Dateien liegen in:
%1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="216"/>
        <source>Left out: %1</source>
        <translation>Ausgelassen: %1</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmUserInfo</name>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="115"/>
        <source>Key:</source>
        <translation>Schlüssel:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="116"/>
        <source>Safety number:</source>
        <translation>Sicherheitsnummer:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="117"/>
        <source>Your fingerprint:</source>
        <translation>Ihr Fingerabdruck:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="118"/>
        <source>Known fingerprint:</source>
        <translation>Bekannter Fingerabdruck:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="119"/>
        <source>Announced now:</source>
        <translation>Jetzt angekündigt:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="120"/>
        <source>&amp;Mark as checked</source>
        <translation>Als &amp;geprüft markieren</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="121"/>
        <source>Mark as checked</source>
        <translation>Als geprüft markieren</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="122"/>
        <source>Only when the user&apos;s program shows the same safety number</source>
        <translation>Nur wenn das Programm des Benutzers dieselbe Sicherheitsnummer anzeigt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="123"/>
        <source>&amp;Keep the known key</source>
        <translation>Bekannten &amp;Schlüssel behalten</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="124"/>
        <source>Keep the known key</source>
        <translation>Bekannten Schlüssel behalten</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="126"/>
        <source>State of the key</source>
        <translation>Zustand des Schlüssels</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="127"/>
        <source>Safety number</source>
        <translation>Sicherheitsnummer</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="128"/>
        <source>Safety number as a QR code</source>
        <translation>Sicherheitsnummer als QR-Code</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="129"/>
        <source>Your fingerprint</source>
        <translation>Ihr Fingerabdruck</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="130"/>
        <source>Known fingerprint</source>
        <translation>Bekannter Fingerabdruck</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="131"/>
        <source>Fingerprint announced now</source>
        <translation>Jetzt angekündigter Fingerabdruck</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="132"/>
        <source>How to check the key</source>
        <translation>Wie man den Schlüssel prüft</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="161"/>
        <source>checked as %1, now %2</source>
        <translation>geprüft als %1, jetzt %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="169"/>
        <source>none: no key is known for %1</source>
        <translation>keine: Für %1 ist kein Schlüssel bekannt</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="180"/>
        <source>Compare this number with %1 in person or by phone: %1&apos;s Lanyx shows the same number in the user information on you (and lanyx-cli keys lists it), or scan the QR code. Mark the key as checked only when both numbers are the same.</source>
        <translation>Vergleichen Sie diese Nummer persönlich oder am Telefon mit %1: Das Lanyx von %1 zeigt dieselbe Nummer in den Benutzerinformationen zu Ihnen (und lanyx-cli keys listet sie auf), oder scannen Sie den QR-Code. Markieren Sie den Schlüssel nur dann als geprüft, wenn beide Nummern gleich sind.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="187"/>
        <source>A copy without keys was heard under the name %1, and now a key is announced for it. Somebody may be taking the name: the key is not taken until you check it with %1.</source>
        <translation>Unter dem Namen %1 hat sich ein Exemplar ohne Schlüssel gemeldet, und jetzt wird dafür ein Schlüssel angekündigt. Vielleicht eignet sich jemand den Namen an: Der Schlüssel wird erst übernommen, wenn Sie ihn mit %1 geprüft haben.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="192"/>
        <source>Nothing signed by %1&apos;s key has been heard since %1 was listed: what is listed under the name may not come from %1&apos;s program.</source>
        <translation>Seit %1 in der Liste steht, wurde nichts empfangen, was mit dem Schlüssel von %1 signiert ist: Was unter dem Namen aufgeführt ist, stammt vielleicht nicht vom Programm von %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="198"/>
        <source>You checked this key when the user was called %1. The safety number covers the names: compare the number shown here with %2 once more, then mark the key as checked.</source>
        <translation>Sie haben diesen Schlüssel geprüft, als der Benutzer %1 hieß. Die Sicherheitsnummer umfasst die Namen: Vergleichen Sie die hier gezeigte Nummer noch einmal mit %2 und markieren Sie den Schlüssel dann als geprüft.</translation>
    </message>
    <message>
        <source>&amp;Accept the new key</source>
        <translation type="vanished">Neuen Schlüssel &amp;annehmen</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="133"/>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="146"/>
        <source>this copy has no keys</source>
        <translation>dieses Exemplar hat keine Schlüssel</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="165"/>
        <source>none</source>
        <translation>keiner</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="166"/>
        <source>nothing heard</source>
        <translation>nichts gehört</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::ConversationsPane</name>
    <message>
        <location filename="../../../chat/history/ui/ConversationsPane.cpp" line="110"/>
        <source>seen %1</source>
        <translation>gesehen %1</translation>
    </message>
    <message>
        <source>Conversations</source>
        <translation>Unterhaltungen</translation>
    </message>
    <message>
        <source>Conversation</source>
        <translation>Unterhaltung</translation>
    </message>
    <message>
        <source>Last line</source>
        <translation>Letzte Zeile</translation>
    </message>
    <message>
        <source>When</source>
        <translation>Wann</translation>
    </message>
    <message>
        <source>Everybody</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>you</source>
        <translation>du</translation>
    </message>
    <message>
        <source>away: what you write waits for %1</source>
        <translation>abwesend: Was Sie schreiben, wartet auf %1</translation>
    </message>
    <message>
        <source>%1 is away: what you write waits for %1</source>
        <translation>%1 ist abwesend: Was Sie schreiben, wartet auf %1</translation>
    </message>
</context>
<context>
    <name>UserList</name>
    <message>
        <source>(All)</source>
        <translation>(Alle)</translation>
    </message>
</context>
<context>
    <name>lanyx::pictures::ui::ChatPictures</name>
    <message>
        <source>Send &amp;Picture...</source>
        <translation>Bild &amp;senden...</translation>
    </message>
    <message>
        <source>Picture sent.</source>
        <translation>Bild gesendet.</translation>
    </message>
    <message>
        <source>The picture is larger than 10 MiB.</source>
        <translation>Das Bild ist größer als 10 MiB.</translation>
    </message>
    <message>
        <source>This picture cannot be sent (PNG, JPEG, GIF or WebP).</source>
        <translation>Dieses Bild kann nicht gesendet werden (PNG, JPEG, GIF oder WebP).</translation>
    </message>
    <message>
        <source>Nobody in this chat takes pictures.</source>
        <translation>Niemand in diesem Chat nimmt Bilder an.</translation>
    </message>
    <message>
        <source>Send Picture</source>
        <translation>Bild senden</translation>
    </message>
    <message>
        <source>Pictures (*.png *.jpg *.jpeg *.gif *.webp)</source>
        <translation>Bilder (*.png *.jpg *.jpeg *.gif *.webp)</translation>
    </message>
    <message>
        <source>%1 sent a picture:</source>
        <translation>%1 hat ein Bild gesendet:</translation>
    </message>
</context>
<context>
    <name>lanyx::verbs::ui::LineView</name>
    <message>
        <source>message deleted</source>
        <translation>Nachricht gelöscht</translation>
    </message>
    <message>
        <source>(edited)</source>
        <translation>(bearbeitet)</translation>
    </message>
    <message>
        <source>&amp;Reply</source>
        <translation>&amp;Antworten</translation>
    </message>
    <message>
        <source>Re&amp;act</source>
        <translation>Rea&amp;gieren</translation>
    </message>
    <message>
        <source>&amp;Edit...</source>
        <translation>&amp;Bearbeiten...</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Delete message</source>
        <translation>Nachricht löschen</translation>
    </message>
    <message>
        <source>Delete this message for everybody in the conversation?</source>
        <translation>Diese Nachricht für alle im Gespräch löschen?</translation>
    </message>
</context>
<context>
    <name>lanyx::verbs::ui::ComposeBar</name>
    <message>
        <source>Stop answering or editing</source>
        <translation>Antworten oder Bearbeiten beenden</translation>
    </message>
    <message>
        <source>Answering %1: %2</source>
        <translation>Antwort an %1: %2</translation>
    </message>
    <message>
        <source>Editing your line: Enter puts the new words in its place</source>
        <translation>Zeile bearbeiten: Enter setzt den neuen Text an ihre Stelle</translation>
    </message>
</context>
</TS>

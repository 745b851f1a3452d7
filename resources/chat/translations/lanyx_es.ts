<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <location filename="../../../chat/ui/UiLanguage.cpp" line="17"/>
        <source>Drive</source>
        <translation>Unidad</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UiLanguage.cpp" line="18"/>
        <source>File Folder</source>
        <translation>Carpeta</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UiLanguage.cpp" line="19"/>
        <source>Folder</source>
        <translation>Carpeta</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UiLanguage.cpp" line="20"/>
        <source>File</source>
        <translation>Archivo</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UiLanguage.cpp" line="21"/>
        <source>Shortcut</source>
        <translation>Enlace simbólico</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UiLanguage.cpp" line="22"/>
        <source>Unknown</source>
        <translation>Desconocido</translation>
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
        <translation>cifrado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="32"/>
        <source>in the clear</source>
        <translation>sin cifrar</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="33"/>
        <source>warning</source>
        <translation>aviso</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="34"/>
        <source>blocked</source>
        <translation>bloqueado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="35"/>
        <source>unread lines</source>
        <translation>líneas sin leer</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="36"/>
        <source>available</source>
        <translation>disponible</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="37"/>
        <source>alerts only</source>
        <translation>solo alertas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="38"/>
        <source>do not disturb</source>
        <translation>no molestar</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="54"/>
        <source>not sent</source>
        <translation>no enviado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="55"/>
        <source>queued</source>
        <translation>en cola</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="56"/>
        <source>sent</source>
        <translation>enviado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="58"/>
        <source>delivered</source>
        <translation>entregado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="59"/>
        <source>not confirmed</source>
        <translation>no confirmado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="60"/>
        <source>waiting</source>
        <translation>en espera</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="69"/>
        <source>%1: not sent: %1&apos;s key changed. Compare the safety number in %1&apos;s information before anything goes to %1 again</source>
        <translation>%1: no enviado: la clave de %1 ha cambiado. Compare el número de seguridad en la información de %1 antes de volver a enviarle nada a %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="74"/>
        <source>%1: not sent: %1&apos;s program takes no sealed messages</source>
        <translation>%1: no enviado: el programa de %1 no acepta mensajes sellados</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="76"/>
        <source>%1: not sent: nothing to send</source>
        <translation>%1: no enviado: no hay nada que enviar</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="78"/>
        <source>%1: not sent: it waited for %1 too long and expired</source>
        <translation>%1: no enviado: esperó a %1 demasiado tiempo y caducó</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="81"/>
        <source>%1: not sent: you took it back while it waited</source>
        <translation>%1: no enviado: lo retiró mientras esperaba</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="83"/>
        <source>%1: not sent: %2 messages already wait for %1</source>
        <translation>%1: no enviado: ya esperan %2 mensajes para %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="86"/>
        <source>%1: not sent: the messages waiting for absent users fill the room kept for them</source>
        <translation>%1: no enviado: los mensajes que esperan a usuarios ausentes llenan el espacio reservado para ellos</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="82"/>
        <source>%1: not sent: not on the network</source>
        <translation>%1: no enviado: no está en la red</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="85"/>
        <source>%1: shown here only</source>
        <translation>%1: solo se muestra aquí</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="88"/>
        <source>%1: queued, encrypted: %1 is not on the network; it goes when %1 is seen again</source>
        <translation>%1: en cola, cifrado: %1 no está en la red; se enviará cuando se vuelva a ver a %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="93"/>
        <source>%1: in the clear, sent; this recipient&apos;s program does not confirm</source>
        <translation>%1: enviado sin cifrar; el programa de este destinatario no confirma</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="96"/>
        <source>%1: encrypted, delivered</source>
        <translation>%1: cifrado, entregado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="97"/>
        <source>%1: encrypted, not confirmed</source>
        <translation>%1: cifrado, no confirmado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="98"/>
        <source>%1: encrypted, waiting for confirmation</source>
        <translation>%1: cifrado, esperando confirmación</translation>
    </message>
</context>
<context>
    <name>lanyx::FileTransfers</name>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="77"/>
        <source>1 byte</source>
        <translation>1 byte</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="78"/>
        <source>%1 bytes</source>
        <translation>%1 bytes</translation>
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
        <translation>1 archivo</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="95"/>
        <source>%1 files</source>
        <translation>%1 archivos</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="105"/>
        <source>Waiting for %1 to accept</source>
        <translation>Esperando a que %1 acepte</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="107"/>
        <source>Offered by %1</source>
        <translation>Ofrecido por %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="109"/>
        <source>Sending</source>
        <translation>Enviando</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="110"/>
        <source>Receiving</source>
        <translation>Recibiendo</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="112"/>
        <source>Interrupted</source>
        <translation>Interrumpido</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="114"/>
        <source>Sent</source>
        <translation>Enviado</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="115"/>
        <source>Received</source>
        <translation>Recibido</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="117"/>
        <source>Failed</source>
        <translation>Error</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="119"/>
        <source>Declined by %1</source>
        <translation>Rechazado por %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="120"/>
        <source>Declined</source>
        <translation>Rechazado</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="122"/>
        <source>Cancelled</source>
        <translation>Cancelado</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="125"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="133"/>
        <source>stopped by %1: not enough free space there</source>
        <translation>detenido por %1: no hay suficiente espacio libre allí</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="135"/>
        <source>stopped by %1: the files could not be written there</source>
        <translation>detenido por %1: no se pudieron escribir allí los archivos</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="138"/>
        <source>stopped by %1: a file arrived damaged</source>
        <translation>detenido por %1: un archivo llegó dañado</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="139"/>
        <source>refused by %1</source>
        <translation>rechazado por %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="141"/>
        <source>not shown to %1: too many offers were waiting there</source>
        <translation>no mostrado a %1: allí esperaban demasiadas ofertas</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="143"/>
        <source>stopped by %1</source>
        <translation>detenido por %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="232"/>
        <source>This copy of Lanyx was built without file transfers.</source>
        <translation>Esta copia de Lanyx se compiló sin transferencia de archivos.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="239"/>
        <source>This copy runs without keys, so it cannot send files.</source>
        <translation>Esta copia funciona sin claves, así que no puede enviar archivos.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="240"/>
        <source>This user&apos;s program cannot receive files.</source>
        <translation>El programa de este usuario no puede recibir archivos.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="241"/>
        <source>This user&apos;s key changed: compare the safety number in the user&apos;s information first.</source>
        <translation>La clave de este usuario ha cambiado: compare primero el número de seguridad en la información del usuario.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="243"/>
        <source>A copy without keys uses this name too: check the key in the user&apos;s information first.</source>
        <translation>Una copia sin claves también usa este nombre: compruebe primero la clave en la información del usuario.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="245"/>
        <source>This user&apos;s program has not been heard with its key since it was listed.</source>
        <translation>El programa de este usuario no se ha oído con su clave desde que entró en la lista.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="625"/>
        <source>%1 has not been heard from there with the same key since Lanyx started</source>
        <translation>no ha llegado nada de %1 desde allí con la misma clave desde que se inició Lanyx</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="689"/>
        <source>%1 did not come back within %2 min (%3)</source>
        <translation>%1 no volvió en %2 min (%3)</translation>
    </message>
    <message>
        <source>This user&apos;s key changed: accept the new key in the user&apos;s info first.</source>
        <translation type="vanished">La clave de este usuario ha cambiado: acepte primero la nueva clave en la información del usuario.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="309"/>
        <source>Nothing to send.</source>
        <translation>No hay nada que enviar.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="311"/>
        <source>Too many transfers at once; wait for some to end.</source>
        <translation>Demasiadas transferencias a la vez; espere a que terminen algunas.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="315"/>
        <source>%1 does not exist.</source>
        <translation>%1 no existe.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="316"/>
        <source>%1 cannot be read.</source>
        <translation>No se puede leer %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="321"/>
        <source>Nothing to send</source>
        <translation>No hay nada que enviar</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="327"/>
        <source>Files cannot be offered: %1</source>
        <translation>No se pueden ofrecer archivos: %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="343"/>
        <source>No key is known for %1.</source>
        <translation>No se conoce ninguna clave de %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="359"/>
        <source>The offer could not be sent: %1</source>
        <translation>No se pudo enviar la oferta: %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="361"/>
        <source>The offer could not be sent to %1.</source>
        <translation>No se pudo enviar la oferta a %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="370"/>
        <source>no answer</source>
        <translation>sin respuesta</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="485"/>
        <source>%1 is not a folder this user can write to</source>
        <translation>%1 no es una carpeta en la que este usuario pueda escribir</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="502"/>
        <source>no key is known for %1</source>
        <translation>no se conoce ninguna clave de %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="572"/>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="579"/>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="733"/>
        <source>refused: %1</source>
        <translation>rechazado: %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="588"/>
        <source>%1; trying again</source>
        <translation>%1; se vuelve a intentar</translation>
    </message>
    <message>
        <source>the receiver did not come back</source>
        <translation type="vanished">el destinatario no volvió</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="769"/>
        <source>too many offers were waiting</source>
        <translation>había demasiadas ofertas esperando</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="781"/>
        <source>not answered</source>
        <translation>sin contestar</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="808"/>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="824"/>
        <source>cancelled by %1</source>
        <translation>cancelado por %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="823"/>
        <source>withdrawn by %1</source>
        <translation>retirado por %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="948"/>
        <source>interrupted when Lanyx ended; it goes on when %1 is back</source>
        <translation>interrumpido al cerrarse Lanyx; continúa cuando %1 vuelva</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="1019"/>
        <source>the offer did not reach %1</source>
        <translation>la oferta no llegó a %1</translation>
    </message>
</context>
<context>
    <name>lanyx::TransferClient</name>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="347"/>
        <source>nothing came from the sender for %1 s</source>
        <translation>no llegó nada del remitente durante %1 s</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="368"/>
        <source>the sender closed the connection before the handshake (a different version of Lanyx, or too many connections)</source>
        <translation>el remitente cerró la conexión antes del saludo inicial (otra versión de Lanyx, o demasiadas conexiones)</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="370"/>
        <source>the sender closed the connection</source>
        <translation>el remitente cerró la conexión</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="392"/>
        <source>cancelled</source>
        <translation>cancelado</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="424"/>
        <source>the sender refused the connection: %1</source>
        <translation>el remitente rechazó la conexión: %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="473"/>
        <source>connection lost (%1)</source>
        <translation>conexión perdida (%1)</translation>
    </message>
</context>
<context>
    <name>lanyx::TransferServer</name>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="166"/>
        <source>a connection for a transfer did not complete its handshake in time</source>
        <translation>una conexión de transferencia no completó su saludo inicial a tiempo</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="189"/>
        <source>a receiver with an older version of Lanyx tried to connect; it cannot receive files from this one</source>
        <translation>un destinatario con una versión anterior de Lanyx intentó conectarse; no puede recibir archivos de esta</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="229"/>
        <source>a connection for a transfer failed its handshake: %1</source>
        <translation>una conexión de transferencia falló en su saludo inicial: %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="300"/>
        <source>the receiver took nothing for %1 s</source>
        <translation>el destinatario no tomó nada durante %1 s</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="301"/>
        <source>the receiver closed the connection</source>
        <translation>el destinatario cerró la conexión</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::ChatWindows</name>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="230"/>
        <source>%1 left the network; lines to %1 wait until %1 is back.</source>
        <translation>%1 ha salido de la red; las líneas para %1 esperan a que vuelva.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="300"/>
        <source>%1 shares this chat with you and %2.</source>
        <translation>%1 comparte este chat contigo y con %2.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="389"/>
        <source>Earlier lines of this chat, as %1 has them:</source>
        <translation>Líneas anteriores de este chat, tal como las tiene %1:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="251"/>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="306"/>
        <source>%1 added %2</source>
        <translation>%1 añadió a %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="311"/>
        <source>%1 removed %2</source>
        <translation>%1 quitó a %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="317"/>
        <source>%1 removed you from this chat: it is a list of your own now.</source>
        <translation>%1 te quitó de este chat: ahora la lista es solo tuya.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="330"/>
        <source>%1 is now %2.</source>
        <translation>%1 ahora se llama %2.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="353"/>
        <source>%1 is back.</source>
        <translation>%1 ha vuelto.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::EmojiButton</name>
    <message>
        <location filename="../../../chat/ui/EmojiPicker.cpp" line="80"/>
        <source>Insert an emoji</source>
        <translation>Insertar un emoji</translation>
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
        <translation>Buscar en este chat</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>The match before (Enter)</source>
        <translation>La coincidencia anterior (Intro)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>Earlier match</source>
        <translation>Coincidencia anterior</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>The match after (Shift+Enter)</source>
        <translation>La coincidencia siguiente (Mayús+Intro)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>Later match</source>
        <translation>Coincidencia siguiente</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>Close (Esc)</source>
        <translation>Cerrar (Esc)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>Close the search</source>
        <translation>Cerrar la búsqueda</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>No match</source>
        <translation>Sin coincidencias</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>%1 of %2</source>
        <translation>%1 de %2</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::FileDropFilter</name>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="149"/>
        <source>File transfers are not available.</source>
        <translation>Las transferencias de archivos no están disponibles.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="155"/>
        <source>Drop files onto a user.</source>
        <translation>Suelte los archivos sobre un usuario.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="171"/>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="202"/>
        <source>Only files and folders on this computer can be sent.</source>
        <translation>Solo se pueden enviar archivos y carpetas de este equipo.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="188"/>
        <source>Drop to offer the files to %1.</source>
        <translation>Suelte para ofrecer los archivos a %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="215"/>
        <source>Send Files</source>
        <translation>Enviar archivos</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::LanyxApp</name>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="67"/>
        <source>process %1</source>
        <translation>proceso %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="71"/>
        <source>Lanyx already runs on the data folder %1.</source>
        <translation>Lanyx ya se ejecuta con la carpeta de datos %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="72"/>
        <source>Lanyx already runs on the data folder %1 (%2).</source>
        <translation>Lanyx ya se ejecuta con la carpeta de datos %1 (%2).</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="73"/>
        <source>Its window is shown now.</source>
        <translation>Su ventana se muestra ahora.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="74"/>
        <source>It did not answer (lanyx-cli has no window): use it or end it.</source>
        <translation>No respondió (lanyx-cli no tiene ventana): úselo o ciérrelo.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="75"/>
        <source>To run another copy beside it, start that one with --dir and another folder.</source>
        <translation>Para ejecutar otra copia al lado, iníciela con --dir y otra carpeta.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="129"/>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="134"/>
        <source>(not verified) </source>
        <translation>(no verificado) </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="277"/>
        <source>%1: %2 alerts, %3 chat lines not shown</source>
        <translation>%1: %2 alertas, %3 líneas de chat sin mostrar</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="360"/>
        <source>A message to %1 was not sent: %1 was not seen on the network in the time it could wait.</source>
        <translation>Un mensaje para %1 no se envió: no se vio a %1 en la red durante el tiempo que podía esperar.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="363"/>
        <source>Waiting message - Lanyx</source>
        <translation>Mensaje en espera - Lanyx</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="374"/>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="383"/>
        <source>History - Lanyx</source>
        <translation>Historial - Lanyx</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="383"/>
        <source>No history is kept in this run (see the log).</source>
        <translation>En esta ejecución no se guarda ningún historial (consulte el registro).</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/LanyxApp.cpp" line="332"/>
        <source>The history was damaged. It is kept as %1; %n message(s) that could be read of it are in a new one.</source>
        <translation>
            <numerusform>El historial estaba dañado. Se conserva como %1; %n mensaje que se pudo leer de él está en uno nuevo.</numerusform>
            <numerusform>El historial estaba dañado. Se conserva como %1; %n mensajes que se pudieron leer de él están en uno nuevo.</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="336"/>
        <source>The history&apos;s search index was damaged and has been built anew; no message was lost.</source>
        <translation>El índice de búsqueda del historial estaba dañado y se ha reconstruido; no se ha perdido ningún mensaje.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="338"/>
        <source>Less than %1 MB are free on the disk of the history: nothing is recorded until there is more room.</source>
        <translation>Quedan menos de %1 MB libres en el disco del historial: no se registra nada hasta que haya más espacio.</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/LanyxApp.cpp" line="341"/>
        <source>There is room on the disk of the history again: recording goes on (%n message(s) not recorded).</source>
        <translation>
            <numerusform>Vuelve a haber espacio en el disco del historial: el registro continúa (%n mensaje sin registrar).</numerusform>
            <numerusform>Vuelve a haber espacio en el disco del historial: el registro continúa (%n mensajes sin registrar).</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="343"/>
        <source>The history is written again.</source>
        <translation>El historial vuelve a escribirse.</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/LanyxApp.cpp" line="345"/>
        <source>%n message(s) not recorded in the history: it could not keep up.</source>
        <translation>
            <numerusform>%n mensaje sin registrar en el historial: no daba abasto.</numerusform>
            <numerusform>%n mensajes sin registrar en el historial: no daba abasto.</numerusform>
        </translation>
    </message>
    <message>
        <source>Conversations - Lanyx</source>
        <translation>Conversaciones - Lanyx</translation>
    </message>
    <message>
        <source>This shared chat is no longer kept here: its lines are in the History window.</source>
        <translation>Este chat compartido ya no se guarda aquí: sus líneas están en la ventana Historial.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::NetworkPage</name>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="60"/>
        <source>Lanyx sends to every network this computer is on. For offices behind a router, every message also goes to these destinations, one a line: host names, addresses, or the broadcast address of another subnet (such as 10.2.255.255).</source>
        <translation>Lanyx envía a cada red en la que está este equipo. Para oficinas detrás de un router, cada mensaje va también a estos destinos, uno por línea: nombres de equipo, direcciones o la dirección de difusión de otra subred (por ejemplo 10.2.255.255).</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="63"/>
        <source>Extra destinations</source>
        <translation>Destinos adicionales</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="64"/>
        <source>One host name or address a line</source>
        <translation>Un nombre de equipo o una dirección por línea</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="67"/>
        <source>%1 %2/%3 (broadcast %4)</source>
        <translation>%1 %2/%3 (difusión %4)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="71"/>
        <source>No network interface that can broadcast was found.</source>
        <translation>No se encontró ninguna interfaz de red que pueda difundir.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="72"/>
        <source>Sent through: %1</source>
        <translation>Se envía por: %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="96"/>
        <source>empty</source>
        <translation>vacío</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="97"/>
        <source>longer than 253 characters</source>
        <translation>más de 253 caracteres</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="98"/>
        <source>an empty part between dots</source>
        <translation>una parte vacía entre puntos</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="99"/>
        <source>a part ends with &quot;-&quot;</source>
        <translation>una parte termina en «-»</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="100"/>
        <source>an IPv6 address (only IPv4 is used)</source>
        <translation>una dirección IPv6 (solo se usa IPv4)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="101"/>
        <source>not a host name or IPv4 address</source>
        <translation>no es un nombre de equipo ni una dirección IPv4</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="102"/>
        <source>a part begins with &quot;-&quot;</source>
        <translation>una parte empieza por «-»</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="103"/>
        <source>a part longer than 63 characters</source>
        <translation>una parte de más de 63 caracteres</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="104"/>
        <source>ends with a dot</source>
        <translation>termina en punto</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="105"/>
        <source>not a valid IPv4 address</source>
        <translation>no es una dirección IPv4 válida</translation>
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
        <translation>%1: más de %2 destinos</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="153"/>
        <source>%1: being looked up</source>
        <translation>%1: buscando</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="154"/>
        <source>%1: does not resolve</source>
        <translation>%1: no se resuelve</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::PopupSummary</name>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="58"/>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="62"/>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="167"/>
        <source>Alerts not shown</source>
        <translation>Alertas no mostradas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="59"/>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="60"/>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="61"/>
        <source>&amp;Show</source>
        <translation>&amp;Mostrar</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="63"/>
        <source>Senders whose alerts found no place on the screen; Enter shows them</source>
        <translation>Remitentes cuyas alertas no cupieron en la pantalla; Intro las muestra</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="156"/>
        <source>1 alert</source>
        <translation>1 alerta</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="156"/>
        <source>%1 alerts</source>
        <translation>%1 alertas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="157"/>
        <source>%1: %2, the last at %3: %4</source>
        <translation>%1: %2, la última a las %3: %4</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="166"/>
        <source>(%1 more not kept)</source>
        <translation>(%1 más no guardadas)</translation>
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
        <translation>%1 elementos</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="47"/>
        <source>Offered %1 to %2.</source>
        <translation>%1 ofrecido a %2.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="51"/>
        <source>Not offered to %1</source>
        <translation>No ofrecido a %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="58"/>
        <source>Send Folder</source>
        <translation>Enviar carpeta</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="58"/>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="135"/>
        <source>Send Files</source>
        <translation>Enviar archivos</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="67"/>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="105"/>
        <source>Send &amp;File...</source>
        <translation>Enviar &amp;archivo...</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="69"/>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="106"/>
        <source>Send F&amp;older...</source>
        <translation>Enviar &amp;carpeta...</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="110"/>
        <source>File transfers are not available.</source>
        <translation>Las transferencias de archivos no están disponibles.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::TransferRowWidget</name>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="82"/>
        <source>&amp;Accept...</source>
        <translation>&amp;Aceptar...</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="83"/>
        <source>&amp;Decline</source>
        <translation>&amp;Rechazar</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="84"/>
        <source>&amp;Cancel</source>
        <translation>&amp;Cancelar</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="85"/>
        <source>&amp;Retry</source>
        <translation>&amp;Reintentar</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="86"/>
        <source>&amp;Open Folder</source>
        <translation>Abrir &amp;carpeta</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="90"/>
        <source>Progress of %1</source>
        <translation>Progreso de %1</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::TransferUi</name>
    <message>
        <location filename="../../../chat/transfer/ui/TransferUi.cpp" line="69"/>
        <source>Files offered</source>
        <translation>Archivos ofrecidos</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferUi.cpp" line="70"/>
        <source>%1 offers %2; answer in the Transfers window.</source>
        <translation>%1 ofrece %2; responda en la ventana Transferencias.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferUi.cpp" line="91"/>
        <source>Transfer finished</source>
        <translation>Transferencia terminada</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferUi.cpp" line="91"/>
        <source>Transfer failed</source>
        <translation>Error en la transferencia</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::TransferView</name>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="35"/>
        <source>%1 items</source>
        <translation>%1 elementos</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="36"/>
        <source>%1 and %2 more</source>
        <translation>%1 y %2 más</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="46"/>
        <source>%1 s left</source>
        <translation>quedan %1 s</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="48"/>
        <source>%1 min left</source>
        <translation>quedan %1 min</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="51"/>
        <source>%1 h left</source>
        <translation>quedan %1 h</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="52"/>
        <source>%1 h %2 min left</source>
        <translation>quedan %1 h %2 min</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="64"/>
        <source>To %1</source>
        <translation>Para %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="65"/>
        <source>From %1</source>
        <translation>De %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="70"/>
        <source>Declined</source>
        <translation>Rechazado</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="73"/>
        <source>%1 of %2</source>
        <translation>%1 de %2</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="101"/>
        <source>Sent %1 to %2.</source>
        <translation>%1 enviado a %2.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="102"/>
        <source>Received %1 from %2 into %3.</source>
        <translation>%1 recibido de %2 en %3.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="105"/>
        <source>Sending %1 to %2 failed%3.</source>
        <translation>Falló el envío de %1 a %2%3.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="107"/>
        <source>Receiving %1 from %2 failed%3.</source>
        <translation>Falló la recepción de %1 de %2%3.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="110"/>
        <source>%1 declined %2.</source>
        <translation>%1 rechazó %2.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="111"/>
        <source>Declined %1 from %2.</source>
        <translation>%1 de %2 rechazado.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="113"/>
        <source>Sending %1 to %2 was cancelled%3.</source>
        <translation>Se canceló el envío de %1 a %2%3.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="115"/>
        <source>Receiving %1 from %2 was cancelled%3.</source>
        <translation>Se canceló la recepción de %1 de %2%3.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="132"/>
        <source>%1 cannot receive files.</source>
        <translation>%1 no puede recibir archivos.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="136"/>
        <source>Files go to named users: choose one.</source>
        <translation>Los archivos van a usuarios concretos: elija uno.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::UserListModel</name>
    <message>
        <source>verified</source>
        <translation type="vanished">verificado</translation>
    </message>
    <message>
        <source>key changed</source>
        <translation type="vanished">clave cambiada</translation>
    </message>
    <message>
        <source>not verified</source>
        <translation type="vanished">no verificado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="98"/>
        <source>checked by you</source>
        <translation>comprobada por usted</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="99"/>
        <source>new key, not checked</source>
        <translation>clave nueva, sin comprobar</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="100"/>
        <source>key known, not heard with it since listed</source>
        <translation>clave conocida, nada recibido con ella desde que aparece en la lista</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="101"/>
        <source>key changed: nothing private is sent until you check it</source>
        <translation>clave cambiada: no se envía nada privado hasta que la compruebe</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="102"/>
        <source>a copy without keys uses this name too: check the key</source>
        <translation>una copia sin claves también usa este nombre: compruebe la clave</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="103"/>
        <source>no keys: what this user sends and gets is not protected</source>
        <translation>sin claves: lo que este usuario envía y recibe no está protegido</translation>
    </message>
    <message>
        <source>you</source>
        <translation>usted</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmAbout</name>
    <message>
        <location filename="../../../chat/ui/frmAbout.cpp" line="93"/>
        <source>The program&apos;s pages on the web</source>
        <translation>Las páginas del programa en la Web</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmAbout.cpp" line="96"/>
        <source>Version</source>
        <translation>Versión</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmAbout.cpp" line="143"/>
        <source>Lanyx - chat and alerts for your local network.

Copyright (C) the Lanyx developers.

Lanyx talks to the other copies on your network segment directly: there is no server, and nothing you send leaves the segment. </source>
        <translation>Lanyx - chat y alertas para su red local.

Copyright (C) los desarrolladores de Lanyx.

Lanyx habla directamente con las demás copias de su segmento de red: no hay servidor, y nada de lo que envía sale del segmento. </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmAbout.cpp" line="149"/>
        <source>This copy has no keys: messages travel as plain text and anyone on the segment can read them or send under any name, so do not use Lanyx for secrets.</source>
        <translation>Esta copia no tiene claves: los mensajes viajan sin cifrar y cualquiera en el segmento puede leerlos o enviar con cualquier nombre, así que no use Lanyx para secretos.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmAbout.cpp" line="151"/>
        <source>Between copies of this Lanyx, what you send is signed and private messages are encrypted; public alerts and chat lines can still be read by anyone on the segment. Copies of the original protocol have no keys: what goes to and from them travels as plain text that anyone on the segment can read or send under any name.</source>
        <translation>Entre copias de este Lanyx, lo que envía va firmado y los mensajes privados van cifrados; las alertas públicas y las líneas de chat las puede leer cualquiera en el segmento. Las copias del protocolo original no tienen claves: lo que va a ellas o viene de ellas viaja sin cifrar, y cualquiera en el segmento puede leerlo o enviarlo con cualquier nombre.</translation>
    </message>
    <message>
        <source>Lanyx - chat and alerts for your local network.

Copyright (C) the Lanyx developers.

Lanyx talks to the other copies on your network segment directly: there is no server. Between copies with keys, private messages are encrypted and everything is signed; what goes to or comes from copies without keys travels as plain text, which anyone on the segment can read or send under any name.</source>
        <translation type="vanished">Lanyx - chat y alertas para su red local.

Copyright (C) los desarrolladores de Lanyx.

Lanyx habla directamente con las demás copias de su segmento de red: no hay servidor. Entre copias con claves, los mensajes privados van cifrados y todo va firmado; lo que se envía a copias sin claves o llega de ellas viaja como texto sin cifrar, que cualquiera en el segmento puede leer o enviar con cualquier nombre.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmAbout.cpp" line="159"/>
        <source>Lanyx is free software: you may use, copy, change and pass it on, alone or with other programs, provided that this notice stays with every copy and that changed copies say that they were changed.

Lanyx comes with no warranty of any kind, not even that it is fit for a particular purpose. The authors are not liable for any damage that comes from using it, as far as the law allows.</source>
        <translation>Lanyx es software libre: puede usarlo, copiarlo, modificarlo y distribuirlo, solo o con otros programas, siempre que este aviso acompañe a cada copia y que las copias modificadas indiquen que lo fueron.

Lanyx se ofrece sin garantía de ningún tipo, ni siquiera de que sirva para un fin concreto. Los autores no responden de los daños que cause su uso, en la medida en que la ley lo permita.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmBox</name>
    <message>
        <source>The key of %1 has changed. Either %1&apos;s program was reinstalled or its data folder lost, or somebody else is using the name %1. Until you accept the new key, %1&apos;s leave notices, status and colour are ignored and messages from %1 are marked &quot;not verified&quot;. Compare the fingerprints with %1 in person or by phone before you accept the new key.</source>
        <translation type="vanished">La clave de %1 ha cambiado. O bien el programa de %1 se reinstaló o perdió su carpeta de datos, o bien otra persona está usando el nombre %1. Hasta que acepte la nueva clave, los avisos de salida, el estado y el color de %1 se ignoran y los mensajes de %1 se marcan como «no verificado». Compare las huellas con %1 en persona o por teléfono antes de aceptar la nueva clave.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/BoxMessage.cpp" line="109"/>
        <source>The key of %1 has changed. Either %1&apos;s program was reinstalled or its data folder lost, or somebody else is using the name %1. Until you decide, nothing private is sent to %1, and what the new key signs is marked &quot;not verified&quot; (leave notices, status and colour from it are ignored). Compare the safety number in %1&apos;s information with %1 in person or by phone: accept the new key only when both of you see the same number.</source>
        <translation>La clave de %1 ha cambiado. O bien el programa de %1 se reinstaló o perdió su carpeta de datos, o bien otra persona está usando el nombre %1. Hasta que decida, no se envía nada privado a %1, y lo que firme la nueva clave se marca como «no verificado» (se ignoran los avisos de salida, el estado y el color que lleguen con ella). Compare el número de seguridad de la información de %1 con %1 en persona o por teléfono: acepte la nueva clave solo si ambos ven el mismo número.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/BoxMessage.cpp" line="124"/>
        <location filename="../../../chat/ui/BoxMessage.cpp" line="153"/>
        <source>User &amp;information...</source>
        <translation>&amp;Información del usuario...</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/BoxMessage.cpp" line="138"/>
        <source>%1 is now called %2, a name in your groups or your history. What comes under the name %2 from now on is signed by %1&apos;s key: if %2 is somebody else to you, tell them apart before you write. A check of %1&apos;s key counts under the new name only once you compared the safety number in %2&apos;s information again.</source>
        <translation>%1 se llama ahora %2, un nombre de sus grupos o de su historial. Lo que llegue desde ahora con el nombre %2 está firmado con la clave de %1: si %2 es otra persona para usted, distíngalos antes de escribir. Una comprobación de la clave de %1 solo cuenta con el nuevo nombre cuando haya vuelto a comparar el número de seguridad en la información de %2.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/BoxMessage.cpp" line="170"/>
        <source>The list of blocked users holds %1 names, all that Lanyx keeps: %2 more were not blocked. Unblock names you no longer need to make room.</source>
        <translation>La lista de usuarios bloqueados contiene %1 nombres, todos los que Lanyx guarda: otros %2 no se bloquearon. Desbloquee los nombres que ya no necesite para hacer sitio.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/BoxMessage.cpp" line="175"/>
        <source>Lanyx keeps %1 groups: %2 more were left out.</source>
        <translation>Lanyx guarda %1 grupos: otros %2 se omitieron.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmChat</name>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="195"/>
        <source>Members to mention</source>
        <translation>Miembros para mencionar</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="1"/>
        <source>Seen by %1</source>
        <translation>Visto por %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="330"/>
        <source>%1 is typing…</source>
        <translation>%1 está escribiendo…</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="330"/>
        <source>%1 are typing…</source>
        <translation>%1 están escribiendo…</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="191"/>
        <source>&amp;Take back the waiting line</source>
        <translation>&amp;Retirar la línea en espera</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="289"/>
        <source>History with %1</source>
        <translation>Historial con %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="290"/>
        <location filename="../../../chat/ui/frmChat.cpp" line="292"/>
        <source>History of this chat</source>
        <translation>Historial de este chat</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="352"/>
        <source>Members</source>
        <translation>Participantes</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="353"/>
        <source>The members of this chat; the Users menu adds and removes them</source>
        <translation>Los participantes de este chat; el menú Usuarios los añade y los quita</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="354"/>
        <source>Conversation</source>
        <translation>Conversación</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="356"/>
        <source>Each line begins with its sender; your lines to named members end with what became of them</source>
        <translation>Cada línea empieza por su remitente; sus líneas a participantes concretos terminan con lo que fue de ellas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="357"/>
        <source>Your line</source>
        <translation>Su línea</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="358"/>
        <source>Enter sends it to the members</source>
        <translation>Intro la envía a los participantes</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="360"/>
        <source>Delivery</source>
        <translation>Entrega</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="437"/>
        <source>Everybody present is in this chat</source>
        <translation>Todos los presentes están en este chat</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="469"/>
        <source>away: left the network, lines wait for the return</source>
        <translation>ausente: salió de la red, las líneas esperan su regreso</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="472"/>
        <source>does not share this chat: sees the lines sent to it, not who is in it</source>
        <translation>no comparte este chat: ve las líneas que se le envían, no quién participa</translation>
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
        <translation>Las líneas de chat no llegan ahora a %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="597"/>
        <source>%1 left the network.</source>
        <translation>%1 ha salido de la red.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="620"/>
        <source>%1 was removed from this chat.</source>
        <translation>%1 fue quitado de este chat.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="640"/>
        <source>The line could not be sent.

%1: %2</source>
        <translation>No se pudo enviar la línea.

%1: %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="677"/>
        <source>%1 delivered</source>
        <translation>%1 entregadas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="677"/>
        <source>delivered</source>
        <translation>entregado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="678"/>
        <source>%1 not confirmed</source>
        <translation>%1 no confirmadas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="678"/>
        <source>not confirmed</source>
        <translation>no confirmado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="679"/>
        <source>%1 sent</source>
        <translation>%1 enviadas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="679"/>
        <source>sent</source>
        <translation>enviado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="680"/>
        <source>%1 not sent</source>
        <translation>%1 no enviadas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="680"/>
        <source>not sent</source>
        <translation>no enviado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="681"/>
        <source>%1 queued</source>
        <translation>%1 en cola</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="681"/>
        <source>queued</source>
        <translation>en cola</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="682"/>
        <source>%1 waiting</source>
        <translation>%1 en espera</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="682"/>
        <source>waiting</source>
        <translation>en espera</translation>
    </message>
    <message>
        <source>Status line</source>
        <translation>Línea de estado</translation>
    </message>
    <message>
        <source>Member</source>
        <translation>Miembro</translation>
    </message>
    <message>
        <source>Key</source>
        <translation>Clave</translation>
    </message>
    <message>
        <source>Participants</source>
        <translation>Participantes</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Fecha</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmCom</name>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="107"/>
        <source>&amp;Take back the waiting alert</source>
        <translation>&amp;Retirar la alerta en espera</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="145"/>
        <source>The recipients; the context menu sends files to them</source>
        <translation>Los destinatarios; el menú contextual les envía archivos</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="147"/>
        <source>Ctrl+Enter sends, Escape closes</source>
        <translation>Ctrl+Intro envía, Esc cierra</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="148"/>
        <source>Delivery</source>
        <translation>Entrega</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="149"/>
        <source>What became of the alert, per recipient</source>
        <translation>Qué fue de la alerta, por destinatario</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="182"/>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="195"/>
        <source>%1 will not see this alert now: the status is &quot;%2&quot;.</source>
        <translation>%1 no verá esta alerta ahora: su estado es «%2».</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="210"/>
        <source>The alert could not be sent.

%1: %2</source>
        <translation>No se pudo enviar la alerta.

%1: %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="242"/>
        <source>%1: in the clear, sent; %1 is not on the network now and will not get it</source>
        <translation>%1: enviado sin cifrar; %1 no está en la red ahora y no lo recibirá</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="247"/>
        <source>Waits on this computer; the context menu takes it back</source>
        <translation>Espera en este equipo; el menú contextual permite retirarlo</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="266"/>
        <source>Not every recipient was sent the alert: the list above says why.</source>
        <translation>La alerta no se envió a todos los destinatarios: la lista de arriba indica por qué.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="267"/>
        <source>Not every recipient confirmed the alert. It may not have arrived: the program there may have ended, or the computer left the network.</source>
        <translation>No todos los destinatarios confirmaron la alerta. Puede que no haya llegado: quizá el programa se cerró allí o el equipo salió de la red.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="278"/>
        <source>The alert waits, encrypted, on this computer for %1 and goes when they come on the network. Right-click a waiting row to take it back.</source>
        <translation>La alerta espera, cifrada, en este equipo a %1 y se enviará cuando entren en la red. Haga clic con el botón derecho en una fila en espera para retirarla.</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Barra de herramientas</translation>
    </message>
    <message>
        <source>Recipient</source>
        <translation>Destinatario</translation>
    </message>
    <message>
        <source>Key</source>
        <translation>Clave</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmHistory</name>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="220"/>
        <source>History - Lanyx</source>
        <translation>Historial - Lanyx</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="221"/>
        <source>&amp;Search:</source>
        <translation>&amp;Buscar:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="222"/>
        <source>words, &quot;a phrase&quot;, this OR that, -without</source>
        <translation>palabras, &quot;una frase&quot;, esto OR aquello, -sin</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="223"/>
        <source>Search the history</source>
        <translation>Buscar en el historial</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="225"/>
        <source>All words must match; &quot;a phrase&quot; matches these words together; a OR b matches either; -word leaves out what has it.</source>
        <translation>Todas las palabras deben coincidir; &quot;una frase&quot; busca esas palabras juntas; a OR b encuentra cualquiera de las dos; -palabra excluye lo que la contiene.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="227"/>
        <source>Conversation</source>
        <translation>Conversación</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="227"/>
        <source>Last</source>
        <translation>Último</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="228"/>
        <source>Conversations</source>
        <translation>Conversaciones</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="229"/>
        <source>When</source>
        <translation>Cuándo</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="229"/>
        <source>Who</source>
        <translation>Quién</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="229"/>
        <source>Message</source>
        <translation>Mensaje</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="230"/>
        <source>Messages</source>
        <translation>Mensajes</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="231"/>
        <source>The lines around the selected message</source>
        <translation>Las líneas alrededor del mensaje seleccionado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="232"/>
        <source>&amp;Go to Conversation</source>
        <translation>&amp;Ir a la conversación</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="233"/>
        <source>Go to the conversation of the selected message</source>
        <translation>Ir a la conversación del mensaje seleccionado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="234"/>
        <source>&amp;Export...</source>
        <translation>E&amp;xportar...</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="235"/>
        <source>Export the selected messages</source>
        <translation>Exportar los mensajes seleccionados</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="236"/>
        <source>&amp;Delete Conversation</source>
        <translation>&amp;Eliminar conversación</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="237"/>
        <source>Delete this conversation</source>
        <translation>Eliminar esta conversación</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="238"/>
        <source>Delete &amp;All</source>
        <translation>Eliminar &amp;todo</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="239"/>
        <source>Delete the whole history</source>
        <translation>Eliminar todo el historial</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="240"/>
        <source>Status</source>
        <translation>Estado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="241"/>
        <location filename="../../../chat/ui/frmHistory.cpp" line="264"/>
        <source>All messages</source>
        <translation>Todos los mensajes</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/frmHistory.cpp" line="273"/>
        <location filename="../../../chat/ui/frmHistory.cpp" line="331"/>
        <source>%n message(s)</source>
        <translation>
            <numerusform>%n mensaje</numerusform>
            <numerusform>%n mensajes</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="331"/>
        <source>The history cannot be read.</source>
        <translation>No se puede leer el historial.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="345"/>
        <source>Type a word to search for.</source>
        <translation>Escriba una palabra para buscar.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="365"/>
        <source>Nothing found.</source>
        <translation>No se encontró nada.</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/frmHistory.cpp" line="366"/>
        <source>%n found</source>
        <translation>
            <numerusform>%n resultado</numerusform>
            <numerusform>%n resultados</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="366"/>
        <source> in %1 ms</source>
        <translation> en %1 ms</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="367"/>
        <source> (the newest)</source>
        <translation> (los más recientes)</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/frmHistory.cpp" line="474"/>
        <source>%n message(s) exported</source>
        <translation>
            <numerusform>%n mensaje exportado</numerusform>
            <numerusform>%n mensajes exportados</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="487"/>
        <source>Delete every message kept of the conversation &quot;%1&quot;? This cannot be undone.</source>
        <translation>¿Eliminar todos los mensajes guardados de la conversación «%1»? No se puede deshacer.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="490"/>
        <location filename="../../../chat/ui/frmHistory.cpp" line="505"/>
        <source>Deleting...</source>
        <translation>Eliminando...</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="493"/>
        <source>Deleted.</source>
        <translation>Eliminado.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="502"/>
        <source>Delete the whole history, every message of every conversation? This cannot be undone.</source>
        <translation>¿Eliminar todo el historial, todos los mensajes de todas las conversaciones? No se puede deshacer.</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/frmHistory.cpp" line="62"/>
        <source>%n more line(s) from %1 not kept</source>
        <translation>
            <numerusform>%n línea más de %1 no conservada</numerusform>
            <numerusform>%n líneas más de %1 no conservadas</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="63"/>
        <source>other senders</source>
        <translation>otros remitentes</translation>
    </message>
    <message>
        <source>sent</source>
        <translation>enviado</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>en espera</translation>
    </message>
    <message>
        <source>delivered</source>
        <translation>entregado</translation>
    </message>
    <message>
        <source>not confirmed</source>
        <translation>no confirmado</translation>
    </message>
    <message>
        <source>queued</source>
        <translation>en cola</translation>
    </message>
    <message>
        <source>expired</source>
        <translation>caducado</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>cancelado</translation>
    </message>
    <message>
        <source>(alert)</source>
        <translation>(alerta)</translation>
    </message>
    <message>
        <source>(message box)</source>
        <translation>(cuadro de mensaje)</translation>
    </message>
    <message>
        <source>(file sent)</source>
        <translation>(archivo enviado)</translation>
    </message>
    <message>
        <source>(file received)</source>
        <translation>(archivo recibido)</translation>
    </message>
    <message>
        <source>(picture)</source>
        <translation>(imagen)</translation>
    </message>
    <message>
        <source>(transfer declined)</source>
        <translation>(transferencia rechazada)</translation>
    </message>
    <message>
        <source>(transfer cancelled)</source>
        <translation>(transferencia cancelada)</translation>
    </message>
    <message>
        <source>(transfer failed)</source>
        <translation>(transferencia fallida)</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 archivo</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 archivos</translation>
    </message>
    <message>
        <source>1 byte</source>
        <translation>1 byte</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>%1: everybody</source>
        <translation>%1: todos</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmMain</name>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="392"/>
        <source>More</source>
        <translation>Más</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="182"/>
        <source>Drop files onto a user.</source>
        <translation>Suelte los archivos sobre un usuario.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="259"/>
        <location filename="../../../chat/ui/frmMain.cpp" line="371"/>
        <source>&amp;History...</source>
        <translation>&amp;Historial...</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="366"/>
        <source>&amp;Refresh</source>
        <translation>Ac&amp;tualizar</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="367"/>
        <source>Everybody on the network announces himself again</source>
        <translation>Todos en la red vuelven a anunciarse</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="368"/>
        <location filename="../../../chat/ui/frmMain.cpp" line="369"/>
        <source>&amp;Transfers</source>
        <translation>&amp;Transferencias</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="372"/>
        <source>Search the messages kept</source>
        <translation>Buscar en los mensajes guardados</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="374"/>
        <source>User &amp;information...</source>
        <translation>&amp;Información del usuario...</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="379"/>
        <source>Users</source>
        <translation>Usuarios</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="381"/>
        <source>Everybody present, then your groups. Enter sends an alert; the Menu key or Shift+F10 opens the user&apos;s menu</source>
        <translation>Todos los presentes y después sus grupos. Intro envía una alerta; la tecla Menú o Mayús+F10 abre el menú del usuario</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="383"/>
        <source>Status line</source>
        <translation>Línea de estado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="384"/>
        <source>Toolbar</source>
        <translation>Barra de herramientas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="725"/>
        <source>&amp;Unblock</source>
        <translation>&amp;Desbloquear</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="737"/>
        <source>History with %1</source>
        <translation>Historial con %1</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Usuario</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>&amp;Users</source>
        <translation>&amp;Usuarios</translation>
    </message>
    <message>
        <source>C&amp;onversations</source>
        <translation>C&amp;onversaciones</translation>
    </message>
    <message>
        <source>Your chats and the people you wrote with, newest first; known users who are away, greyed</source>
        <translation>Sus chats y las personas con las que escribió, los más recientes primero; los usuarios conocidos ausentes, en gris</translation>
    </message>
    <message>
        <source>Lanyx stays in the notification area of the task bar when this window is minimised or hidden: its icon there brings the window back, and its menu has everything else.</source>
        <translation>Lanyx sigue en el área de notificación de la barra de tareas cuando esta ventana se minimiza u oculta: su icono allí devuelve la ventana y su menú tiene todo lo demás.</translation>
    </message>
    <message>
        <source>This desktop shows no notification area: Lanyx keeps this window; minimised, it waits in the task bar.</source>
        <translation>Este escritorio no muestra un área de notificación: Lanyx mantiene esta ventana; minimizada, espera en la barra de tareas.</translation>
    </message>
    <message>
        <source>Welcome to Lanyx. The others on the network see you as &quot;%1&quot;; %2 changes the name and its colour.</source>
        <translation>Bienvenido a Lanyx. Los demás en la red le ven como «%1»; %2 cambia el nombre y su color.</translation>
    </message>
    <message>
        <source>Close this note</source>
        <translation>Cerrar esta nota</translation>
    </message>
    <message>
        <source>Welcome</source>
        <translation>Bienvenida</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmOffer</name>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="59"/>
        <source>Save the files in</source>
        <translation>Guardar los archivos en</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="117"/>
        <source>Files from %1 - Lanyx</source>
        <translation>Archivos de %1 - Lanyx</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="118"/>
        <source>%1 offers you files.</source>
        <translation>%1 le ofrece archivos.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="124"/>
        <source>From:</source>
        <translation>De:</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="125"/>
        <source>Files:</source>
        <translation>Archivos:</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="126"/>
        <source>Size:</source>
        <translation>Tamaño:</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="127"/>
        <source>Save &amp;in:</source>
        <translation>Guardar &amp;en:</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="128"/>
        <source>&amp;Browse...</source>
        <translation>E&amp;xaminar...</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="129"/>
        <source>&amp;Accept</source>
        <translation>&amp;Aceptar</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="130"/>
        <source>&amp;Decline</source>
        <translation>&amp;Rechazar</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="146"/>
        <source>Choose the folder the files go into.</source>
        <translation>Elija la carpeta donde irán los archivos.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="158"/>
        <source>The offer could not be accepted.</source>
        <translation>No se pudo aceptar la oferta.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmOpt</name>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="1"/>
        <source>Tell others when I have &amp;seen their lines</source>
        <translation>Avisar a los demás cuando haya &amp;visto sus líneas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="1"/>
        <source>Lanyx copies of the others show "seen" under their line once your chat window showed it</source>
        <translation>Las copias de Lanyx de los demás muestran «visto» bajo su línea cuando su ventana de chat la ha mostrado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="343"/>
        <source>Language/Langage/Sprache/Lenguaje:</source>
        <translation>Language/Langage/Sprache/Lenguaje:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="512"/>
        <source>&amp;Network</source>
        <translation>&amp;Red</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="526"/>
        <source>&amp;Run Lanyx on StartUp</source>
        <translation>&amp;Iniciar Lanyx al iniciar sesión</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="527"/>
        <source>Starts Lanyx when you log in to the desktop</source>
        <translation>Inicia Lanyx cuando inicia sesión en el escritorio</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="529"/>
        <source>&amp;Desktop notifications for alerts</source>
        <translation>&amp;Notificaciones del escritorio para las alertas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="530"/>
        <source>Alerts go to the desktop&apos;s notification service instead of popups</source>
        <translation>Las alertas van al servicio de notificaciones del escritorio en lugar de ventanas emergentes</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="531"/>
        <source>Sound for a chat line in the &amp;background</source>
        <translation>Sonido para una línea de chat en &amp;segundo plano</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="532"/>
        <source>&amp;Keep the history of messages for</source>
        <translation>&amp;Mantener el historial de mensajes</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="533"/>
        <source>ever</source>
        <translation>para siempre</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="534"/>
        <location filename="../../../chat/ui/frmOpt.cpp" line="538"/>
        <source> days</source>
        <translation> días</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="535"/>
        <source>Days the history keeps messages; 0 keeps them for ever</source>
        <translation>Días que el historial guarda los mensajes; 0 los guarda para siempre</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="536"/>
        <source>Older messages are deleted from the history, and their words from its index.</source>
        <translation>Los mensajes más antiguos se eliminan del historial, y sus palabras, de su índice.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="537"/>
        <source>A message to someone not on the network &amp;waits for</source>
        <translation>Un mensaje a alguien que no está en la red &amp;espera</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="539"/>
        <source>Days a message waits for a recipient who is not on the network</source>
        <translation>Días que un mensaje espera a un destinatario que no está en la red</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="541"/>
        <source>Messages to users whose key is known wait encrypted on this computer and go when the user is seen; after this time they are given up, and you are told.</source>
        <translation>Los mensajes a usuarios cuya clave se conoce esperan cifrados en este equipo y se envían cuando se ve al usuario; pasado este tiempo se abandonan y se le avisa.</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/frmOpt.cpp" line="788"/>
        <source>Messages older than %n day(s) are deleted from the history now. Go on?</source>
        <translation>
            <numerusform>Los mensajes de más de %n día se eliminarán ahora del historial. ¿Continuar?</numerusform>
            <numerusform>Los mensajes de más de %n días se eliminarán ahora del historial. ¿Continuar?</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="816"/>
        <source>The destinations could not be saved: %1</source>
        <translation>No se pudieron guardar los destinos: %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="851"/>
        <source>These destinations are no host name or IPv4 address:
%1</source>
        <translation>Estos destinos no son nombres de equipo ni direcciones IPv4:
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
        <translation>Privada</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="71"/>
        <source>To everyone</source>
        <translation>A todos</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="239"/>
        <source>Menu: reply, chat, block, export</source>
        <translation>Menú: responder, chatear, bloquear, exportar</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="240"/>
        <source>Menu</source>
        <translation>Menú</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="242"/>
        <source>Alert</source>
        <translation>Alerta</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="243"/>
        <source>Alerts</source>
        <translation>Alertas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="243"/>
        <source>Alerts from %1</source>
        <translation>Alertas de %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="244"/>
        <source>Newest first, each with its time and whether it was private</source>
        <translation>Las más recientes primero, cada una con su hora y si era privada</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="245"/>
        <location filename="../../../chat/ui/frmPop.cpp" line="349"/>
        <source>%1 older alerts were not kept: too many to keep.</source>
        <translation>%1 alertas más antiguas no se guardaron: demasiadas.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="282"/>
        <source>(%1 more characters: export or copy the alert to read all of it)</source>
        <translation>(%1 caracteres más: exporte o copie la alerta para leerla entera)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="500"/>
        <source>%1 could not be written.

%2</source>
        <translation>No se pudo escribir %1.

%2</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmSave</name>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="94"/>
        <source>Files</source>
        <translation>Archivos</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="95"/>
        <source>Folders</source>
        <translation>Carpetas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="96"/>
        <source>Folder</source>
        <translation>Carpeta</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="105"/>
        <location filename="../../../chat/ui/frmSave.cpp" line="106"/>
        <location filename="../../../chat/ui/frmSave.cpp" line="128"/>
        <location filename="../../../chat/ui/frmSave.cpp" line="129"/>
        <source>Parent folder</source>
        <translation>Carpeta superior</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="147"/>
        <source>68: Device unavailable</source>
        <translation>68: dispositivo no disponible</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmTransfers</name>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="148"/>
        <source>Transfers - Lanyx</source>
        <translation>Transferencias - Lanyx</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="149"/>
        <source>No transfers yet. Send files from a user&apos;s menu, or drop them onto a user.</source>
        <translation>Aún no hay transferencias. Envíe archivos desde el menú de un usuario o suéltelos sobre un usuario.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="150"/>
        <source>C&amp;lear Finished</source>
        <translation>&amp;Quitar las terminadas</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="151"/>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="152"/>
        <source>Transfers</source>
        <translation>Transferencias</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="165"/>
        <source>No program here opens folders. The files are in:
%1</source>
        <translation>Aquí ningún programa abre carpetas. Los archivos están en:
%1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="216"/>
        <source>Left out: %1</source>
        <translation>Omitidos: %1</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmUserInfo</name>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="115"/>
        <source>Key:</source>
        <translation>Clave:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="116"/>
        <source>Safety number:</source>
        <translation>Número de seguridad:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="117"/>
        <source>Your fingerprint:</source>
        <translation>Su huella:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="118"/>
        <source>Known fingerprint:</source>
        <translation>Huella conocida:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="119"/>
        <source>Announced now:</source>
        <translation>Anunciada ahora:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="120"/>
        <source>&amp;Mark as checked</source>
        <translation>&amp;Marcar como comprobada</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="121"/>
        <source>Mark as checked</source>
        <translation>Marcar como comprobada</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="122"/>
        <source>Only when the user&apos;s program shows the same safety number</source>
        <translation>Solo si el programa del usuario muestra el mismo número de seguridad</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="123"/>
        <source>&amp;Keep the known key</source>
        <translation>Co&amp;nservar la clave conocida</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="124"/>
        <source>Keep the known key</source>
        <translation>Conservar la clave conocida</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="126"/>
        <source>State of the key</source>
        <translation>Estado de la clave</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="127"/>
        <source>Safety number</source>
        <translation>Número de seguridad</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="128"/>
        <source>Safety number as a QR code</source>
        <translation>Número de seguridad como código QR</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="129"/>
        <source>Your fingerprint</source>
        <translation>Su huella</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="130"/>
        <source>Known fingerprint</source>
        <translation>Huella conocida</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="131"/>
        <source>Fingerprint announced now</source>
        <translation>Huella anunciada ahora</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="132"/>
        <source>How to check the key</source>
        <translation>Cómo comprobar la clave</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="161"/>
        <source>checked as %1, now %2</source>
        <translation>comprobada como %1, ahora %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="169"/>
        <source>none: no key is known for %1</source>
        <translation>ninguno: no se conoce ninguna clave de %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="180"/>
        <source>Compare this number with %1 in person or by phone: %1&apos;s Lanyx shows the same number in the user information on you (and lanyx-cli keys lists it), or scan the QR code. Mark the key as checked only when both numbers are the same.</source>
        <translation>Compare este número con %1 en persona o por teléfono: el Lanyx de %1 muestra el mismo número en la información del usuario sobre usted (y lanyx-cli keys también lo muestra), o escanee el código QR. Marque la clave como comprobada solo cuando ambos números sean iguales.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="187"/>
        <source>A copy without keys was heard under the name %1, and now a key is announced for it. Somebody may be taking the name: the key is not taken until you check it with %1.</source>
        <translation>Apareció una copia sin claves con el nombre %1, y ahora se anuncia una clave para ese nombre. Puede que alguien se esté apropiando del nombre: la clave no se acepta hasta que la compruebe con %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="192"/>
        <source>Nothing signed by %1&apos;s key has been heard since %1 was listed: what is listed under the name may not come from %1&apos;s program.</source>
        <translation>No se ha recibido nada firmado con la clave de %1 desde que %1 aparece en la lista: lo que figura con ese nombre puede no venir del programa de %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="198"/>
        <source>You checked this key when the user was called %1. The safety number covers the names: compare the number shown here with %2 once more, then mark the key as checked.</source>
        <translation>Comprobó esta clave cuando el usuario se llamaba %1. El número de seguridad abarca los nombres: compare una vez más el número que se muestra aquí con %2 y marque después la clave como comprobada.</translation>
    </message>
    <message>
        <source>&amp;Accept the new key</source>
        <translation type="vanished">&amp;Aceptar la nueva clave</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="133"/>
        <source>Warning</source>
        <translation>Aviso</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="146"/>
        <source>this copy has no keys</source>
        <translation>esta copia no tiene claves</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="165"/>
        <source>none</source>
        <translation>ninguna</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="166"/>
        <source>nothing heard</source>
        <translation>nada recibido</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::ConversationsPane</name>
    <message>
        <location filename="../../../chat/history/ui/ConversationsPane.cpp" line="110"/>
        <source>seen %1</source>
        <translation>visto %1</translation>
    </message>
    <message>
        <source>Conversations</source>
        <translation>Conversaciones</translation>
    </message>
    <message>
        <source>Conversation</source>
        <translation>Conversación</translation>
    </message>
    <message>
        <source>Last line</source>
        <translation>Última línea</translation>
    </message>
    <message>
        <source>When</source>
        <translation>Cuándo</translation>
    </message>
    <message>
        <source>Everybody</source>
        <translation>Todos</translation>
    </message>
    <message>
        <source>you</source>
        <translation>usted</translation>
    </message>
    <message>
        <source>away: what you write waits for %1</source>
        <translation>ausente: lo que escriba espera a %1</translation>
    </message>
    <message>
        <source>%1 is away: what you write waits for %1</source>
        <translation>%1 está ausente: lo que escriba espera a %1</translation>
    </message>
</context>
<context>
    <name>UserList</name>
    <message>
        <source>(All)</source>
        <translation>(Todos)</translation>
    </message>
</context>
<context>
    <name>lanyx::pictures::ui::ChatPictures</name>
    <message>
        <source>Send &amp;Picture...</source>
        <translation>Enviar &amp;imagen...</translation>
    </message>
    <message>
        <source>Picture sent.</source>
        <translation>Imagen enviada.</translation>
    </message>
    <message>
        <source>The picture is larger than 10 MiB.</source>
        <translation>La imagen supera los 10 MiB.</translation>
    </message>
    <message>
        <source>This picture cannot be sent (PNG, JPEG, GIF or WebP).</source>
        <translation>Esta imagen no se puede enviar (PNG, JPEG, GIF o WebP).</translation>
    </message>
    <message>
        <source>Nobody in this chat takes pictures.</source>
        <translation>Nadie en este chat acepta imágenes.</translation>
    </message>
    <message>
        <source>Send Picture</source>
        <translation>Enviar imagen</translation>
    </message>
    <message>
        <source>Pictures (*.png *.jpg *.jpeg *.gif *.webp)</source>
        <translation>Imágenes (*.png *.jpg *.jpeg *.gif *.webp)</translation>
    </message>
    <message>
        <source>%1 sent a picture:</source>
        <translation>%1 envió una imagen:</translation>
    </message>
</context>
<context>
    <name>lanyx::verbs::ui::LineView</name>
    <message>
        <source>message deleted</source>
        <translation>mensaje eliminado</translation>
    </message>
    <message>
        <source>(edited)</source>
        <translation>(editado)</translation>
    </message>
    <message>
        <source>&amp;Reply</source>
        <translation>&amp;Responder</translation>
    </message>
    <message>
        <source>Re&amp;act</source>
        <translation>Re&amp;accionar</translation>
    </message>
    <message>
        <source>&amp;Edit...</source>
        <translation>&amp;Editar...</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Eliminar</translation>
    </message>
    <message>
        <source>Delete message</source>
        <translation>Eliminar mensaje</translation>
    </message>
    <message>
        <source>Delete this message for everybody in the conversation?</source>
        <translation>¿Eliminar este mensaje para todos en la conversación?</translation>
    </message>
</context>
<context>
    <name>lanyx::verbs::ui::ComposeBar</name>
    <message>
        <source>Stop answering or editing</source>
        <translation>Dejar de responder o editar</translation>
    </message>
    <message>
        <source>Answering %1: %2</source>
        <translation>Respondiendo a %1: %2</translation>
    </message>
    <message>
        <source>Editing your line: Enter puts the new words in its place</source>
        <translation>Editando su línea: Intro pone el nuevo texto en su lugar</translation>
    </message>
</context>
</TS>

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
        <location filename="../../../chat/ui/StateIcons.cpp" line="53"/>
        <source>sent</source>
        <translation>enviado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="55"/>
        <source>delivered</source>
        <translation>entregado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="56"/>
        <source>not confirmed</source>
        <translation>no confirmado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="57"/>
        <source>waiting</source>
        <translation>en espera</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="64"/>
        <source>%1: in the clear, sent; this recipient&apos;s program does not confirm</source>
        <translation>%1: enviado sin cifrar; el programa de este destinatario no confirma</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="67"/>
        <source>%1: encrypted, delivered</source>
        <translation>%1: cifrado, entregado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="68"/>
        <source>%1: encrypted, not confirmed</source>
        <translation>%1: cifrado, no confirmado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="69"/>
        <source>%1: encrypted, waiting for confirmation</source>
        <translation>%1: cifrado, esperando confirmación</translation>
    </message>
</context>
<context>
    <name>lanyx::FileTransfers</name>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="37"/>
        <source>1 byte</source>
        <translation>1 byte</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="38"/>
        <source>%1 bytes</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="39"/>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="40"/>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="41"/>
        <source>%1 GB</source>
        <translation>%1 GB</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="42"/>
        <source>%1 TB</source>
        <translation>%1 TB</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="53"/>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="54"/>
        <source>1 file</source>
        <translation>1 archivo</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="55"/>
        <source>%1 files</source>
        <translation>%1 archivos</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="64"/>
        <source>Waiting for %1 to accept</source>
        <translation>Esperando a que %1 acepte</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="65"/>
        <source>Offered by %1</source>
        <translation>Ofrecido por %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="67"/>
        <source>Sending</source>
        <translation>Enviando</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="68"/>
        <source>Receiving</source>
        <translation>Recibiendo</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="70"/>
        <source>Interrupted</source>
        <translation>Interrumpido</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="72"/>
        <source>Sent</source>
        <translation>Enviado</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="73"/>
        <source>Received</source>
        <translation>Recibido</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="75"/>
        <source>Failed</source>
        <translation>Error</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="77"/>
        <source>Declined by %1</source>
        <translation>Rechazado por %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="78"/>
        <source>Declined</source>
        <translation>Rechazado</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="80"/>
        <source>Cancelled</source>
        <translation>Cancelado</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="82"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="131"/>
        <source>This copy of Lanyx was built without file transfers.</source>
        <translation>Esta copia de Lanyx se compiló sin transferencia de archivos.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="138"/>
        <source>This copy runs without keys, so it cannot send files.</source>
        <translation>Esta copia funciona sin claves, así que no puede enviar archivos.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="139"/>
        <source>This user&apos;s program cannot receive files.</source>
        <translation>El programa de este usuario no puede recibir archivos.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="140"/>
        <source>This user&apos;s key changed: accept the new key in the user&apos;s info first.</source>
        <translation>La clave de este usuario ha cambiado: acepte primero la nueva clave en la información del usuario.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="197"/>
        <source>Nothing to send.</source>
        <translation>No hay nada que enviar.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="199"/>
        <source>Too many transfers at once; wait for some to end.</source>
        <translation>Demasiadas transferencias a la vez; espere a que terminen algunas.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="203"/>
        <source>%1 does not exist.</source>
        <translation>%1 no existe.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="204"/>
        <source>%1 cannot be read.</source>
        <translation>No se puede leer %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="209"/>
        <source>Nothing to send</source>
        <translation>No hay nada que enviar</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="214"/>
        <source>Files cannot be offered: %1</source>
        <translation>No se pueden ofrecer archivos: %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="218"/>
        <source>No key is known for %1.</source>
        <translation>No se conoce ninguna clave de %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="234"/>
        <source>The offer could not be sent: %1</source>
        <translation>No se pudo enviar la oferta: %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="236"/>
        <source>The offer could not be sent to %1.</source>
        <translation>No se pudo enviar la oferta a %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="245"/>
        <source>no answer</source>
        <translation>sin respuesta</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="323"/>
        <source>%1 is not a folder this user can write to</source>
        <translation>%1 no es una carpeta en la que este usuario pueda escribir</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="328"/>
        <source>no key is known for %1</source>
        <translation>no se conoce ninguna clave de %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="378"/>
        <source>refused: %1</source>
        <translation>rechazado: %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="388"/>
        <source>%1; trying again</source>
        <translation>%1; se vuelve a intentar</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="466"/>
        <source>the receiver did not come back</source>
        <translation>el destinatario no volvió</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="500"/>
        <source>not answered</source>
        <translation>sin contestar</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="515"/>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="524"/>
        <source>cancelled by %1</source>
        <translation>cancelado por %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="523"/>
        <source>withdrawn by %1</source>
        <translation>retirado por %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="536"/>
        <source>the offer did not reach %1</source>
        <translation>la oferta no llegó a %1</translation>
    </message>
</context>
<context>
    <name>lanyx::TransferClient</name>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="260"/>
        <source>the sender closed the connection</source>
        <translation>el remitente cerró la conexión</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="272"/>
        <source>cancelled</source>
        <translation>cancelado</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="334"/>
        <source>connection lost (%1)</source>
        <translation>conexión perdida (%1)</translation>
    </message>
</context>
<context>
    <name>lanyx::TransferServer</name>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="212"/>
        <source>the receiver closed the connection</source>
        <translation>el destinatario cerró la conexión</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::FileDropFilter</name>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="146"/>
        <source>File transfers are not available.</source>
        <translation>Las transferencias de archivos no están disponibles.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="152"/>
        <source>Drop files onto a user.</source>
        <translation>Suelte los archivos sobre un usuario.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="168"/>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="198"/>
        <source>Only files and folders on this computer can be sent.</source>
        <translation>Solo se pueden enviar archivos y carpetas de este equipo.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="184"/>
        <source>Drop to offer the files to %1.</source>
        <translation>Suelte para ofrecer los archivos a %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="211"/>
        <source>Send Files</source>
        <translation>Enviar archivos</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::LanyxApp</name>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="122"/>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="127"/>
        <source>(not verified) </source>
        <translation>(no verificado) </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="220"/>
        <source>%1: %2 alerts, %3 chat lines not shown</source>
        <translation>%1: %2 alertas, %3 líneas de chat sin mostrar</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::NetworkPage</name>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="59"/>
        <source>Lanyx sends to every network this computer is on. For offices behind a router, every message also goes to these destinations, one a line: host names, addresses, or the broadcast address of another subnet (such as 10.2.255.255).</source>
        <translation>Lanyx envía a cada red en la que está este equipo. Para oficinas detrás de un router, cada mensaje va también a estos destinos, uno por línea: nombres de equipo, direcciones o la dirección de difusión de otra subred (por ejemplo 10.2.255.255).</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="62"/>
        <source>Extra destinations</source>
        <translation>Destinos adicionales</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="63"/>
        <source>One host name or address a line</source>
        <translation>Un nombre de equipo o una dirección por línea</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="66"/>
        <source>%1 %2/%3 (broadcast %4)</source>
        <translation>%1 %2/%3 (difusión %4)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="70"/>
        <source>No network interface that can broadcast was found.</source>
        <translation>No se encontró ninguna interfaz de red que pueda difundir.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="71"/>
        <source>Sent through: %1</source>
        <translation>Se envía por: %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="95"/>
        <source>empty</source>
        <translation>vacío</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="96"/>
        <source>longer than 253 characters</source>
        <translation>más de 253 caracteres</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="97"/>
        <source>an empty part between dots</source>
        <translation>una parte vacía entre puntos</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="98"/>
        <source>a part ends with &quot;-&quot;</source>
        <translation>una parte termina en «-»</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="99"/>
        <source>an IPv6 address (only IPv4 is used)</source>
        <translation>una dirección IPv6 (solo se usa IPv4)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="100"/>
        <source>not a host name or IPv4 address</source>
        <translation>no es un nombre de equipo ni una dirección IPv4</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="101"/>
        <source>a part begins with &quot;-&quot;</source>
        <translation>una parte empieza por «-»</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="102"/>
        <source>a part longer than 63 characters</source>
        <translation>una parte de más de 63 caracteres</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="103"/>
        <source>ends with a dot</source>
        <translation>termina en punto</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="104"/>
        <source>not a valid IPv4 address</source>
        <translation>no es una dirección IPv4 válida</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="117"/>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="152"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="122"/>
        <source>%1: more than %2 destinations</source>
        <translation>%1: más de %2 destinos</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="150"/>
        <source>%1: being looked up</source>
        <translation>%1: buscando</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="151"/>
        <source>%1: does not resolve</source>
        <translation>%1: no se resuelve</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::PopupSummary</name>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="57"/>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="61"/>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="165"/>
        <source>Alerts not shown</source>
        <translation>Alertas no mostradas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="58"/>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="59"/>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="60"/>
        <source>&amp;Show</source>
        <translation>&amp;Mostrar</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="62"/>
        <source>Senders whose alerts found no place on the screen; Enter shows them</source>
        <translation>Remitentes cuyas alertas no cupieron en la pantalla; Intro las muestra</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="155"/>
        <source>1 alert</source>
        <translation>1 alerta</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="155"/>
        <source>%1 alerts</source>
        <translation>%1 alertas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="156"/>
        <source>%1: %2, the last at %3: %4</source>
        <translation>%1: %2, la última a las %3: %4</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="164"/>
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
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="134"/>
        <source>Send Files</source>
        <translation>Enviar archivos</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="66"/>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="104"/>
        <source>Send &amp;File...</source>
        <translation>Enviar &amp;archivo...</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="68"/>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="105"/>
        <source>Send F&amp;older...</source>
        <translation>Enviar &amp;carpeta...</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="109"/>
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
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="91"/>
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
        <location filename="../../../chat/transfer/ui/TransferUi.cpp" line="92"/>
        <source>Transfer finished</source>
        <translation>Transferencia terminada</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferUi.cpp" line="92"/>
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
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="64"/>
        <source>From %1</source>
        <translation>De %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="67"/>
        <source>Declined</source>
        <translation>Rechazado</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="70"/>
        <source>%1 of %2</source>
        <translation>%1 de %2</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="100"/>
        <source>Sent %1 to %2.</source>
        <translation>%1 enviado a %2.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="101"/>
        <source>Received %1 from %2 into %3.</source>
        <translation>%1 recibido de %2 en %3.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="103"/>
        <source>Sending %1 to %2 failed%3.</source>
        <translation>Falló el envío de %1 a %2%3.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="104"/>
        <source>Receiving %1 from %2 failed%3.</source>
        <translation>Falló la recepción de %1 de %2%3.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="106"/>
        <source>%1 declined %2.</source>
        <translation>%1 rechazó %2.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="107"/>
        <source>Declined %1 from %2.</source>
        <translation>%1 de %2 rechazado.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="109"/>
        <source>Sending %1 to %2 was cancelled%3.</source>
        <translation>Se canceló el envío de %1 a %2%3.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="110"/>
        <source>Receiving %1 from %2 was cancelled%3.</source>
        <translation>Se canceló la recepción de %1 de %2%3.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="124"/>
        <source>%1 cannot receive files.</source>
        <translation>%1 no puede recibir archivos.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="127"/>
        <source>Files go to named users: choose one.</source>
        <translation>Los archivos van a usuarios concretos: elija uno.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::UserListModel</name>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="88"/>
        <source>verified</source>
        <translation>verificado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="89"/>
        <source>key changed</source>
        <translation>clave cambiada</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="90"/>
        <source>not verified</source>
        <translation>no verificado</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmAbout</name>
    <message>
        <location filename="../../../chat/ui/frmAbout.cpp" line="94"/>
        <source>The program&apos;s pages on the web</source>
        <translation>Las páginas del programa en la Web</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmAbout.cpp" line="97"/>
        <source>Version</source>
        <translation>Versión</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmAbout.cpp" line="144"/>
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
        <location filename="../../../chat/ui/BoxMessage.cpp" line="108"/>
        <source>The key of %1 has changed. Either %1&apos;s program was reinstalled or its data folder lost, or somebody else is using the name %1. Until you accept the new key, %1&apos;s leave notices, status and colour are ignored and messages from %1 are marked &quot;not verified&quot;. Compare the fingerprints with %1 in person or by phone before you accept the new key.</source>
        <translation>La clave de %1 ha cambiado. O bien el programa de %1 se reinstaló o perdió su carpeta de datos, o bien otra persona está usando el nombre %1. Hasta que acepte la nueva clave, los avisos de salida, el estado y el color de %1 se ignoran y los mensajes de %1 se marcan como «no verificado». Compare las huellas con %1 en persona o por teléfono antes de aceptar la nueva clave.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/BoxMessage.cpp" line="121"/>
        <source>User &amp;information...</source>
        <translation>&amp;Información del usuario...</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmChat</name>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="292"/>
        <source>Members</source>
        <translation>Participantes</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="293"/>
        <source>The members of this chat; the Users menu adds and removes them</source>
        <translation>Los participantes de este chat; el menú Usuarios los añade y los quita</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="294"/>
        <source>Conversation</source>
        <translation>Conversación</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="296"/>
        <source>Each line begins with its sender; your lines to named members end with what became of them</source>
        <translation>Cada línea empieza por su remitente; sus líneas a participantes concretos terminan con lo que fue de ellas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="297"/>
        <source>Your line</source>
        <translation>Su línea</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="298"/>
        <source>Enter sends it to the members</source>
        <translation>Intro la envía a los participantes</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="300"/>
        <source>Delivery</source>
        <translation>Entrega</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="376"/>
        <source>Everybody present is in this chat</source>
        <translation>Todos los presentes están en este chat</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="402"/>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="417"/>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="421"/>
        <source>Chat lines do not reach %1 now.</source>
        <translation>Las líneas de chat no llegan ahora a %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="489"/>
        <source>%1 left the network.</source>
        <translation>%1 ha salido de la red.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="508"/>
        <source>%1 was removed from this chat.</source>
        <translation>%1 fue quitado de este chat.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="524"/>
        <source>The line could not be sent.

%1: %2</source>
        <translation>No se pudo enviar la línea.

%1: %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="561"/>
        <source>%1 delivered</source>
        <translation>%1 entregadas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="561"/>
        <source>delivered</source>
        <translation>entregado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="562"/>
        <source>%1 not confirmed</source>
        <translation>%1 no confirmadas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="562"/>
        <source>not confirmed</source>
        <translation>no confirmado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="563"/>
        <source>%1 sent</source>
        <translation>%1 enviadas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="563"/>
        <source>sent</source>
        <translation>enviado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="564"/>
        <source>%1 waiting</source>
        <translation>%1 en espera</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="564"/>
        <source>waiting</source>
        <translation>en espera</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmCom</name>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="133"/>
        <source>The recipients; the context menu sends files to them</source>
        <translation>Los destinatarios; el menú contextual les envía archivos</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="135"/>
        <source>Ctrl+Enter sends, Escape closes</source>
        <translation>Ctrl+Intro envía, Esc cierra</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="136"/>
        <source>Delivery</source>
        <translation>Entrega</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="137"/>
        <source>What became of the alert, per recipient</source>
        <translation>Qué fue de la alerta, por destinatario</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="169"/>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="182"/>
        <source>%1 will not see this alert now: the status is &quot;%2&quot;.</source>
        <translation>%1 no verá esta alerta ahora: su estado es «%2».</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="196"/>
        <source>The alert could not be sent.

%1: %2</source>
        <translation>No se pudo enviar la alerta.

%1: %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="230"/>
        <source>Not every recipient confirmed the alert. It may not have arrived: the program there may have ended, or the computer left the network.</source>
        <translation>No todos los destinatarios confirmaron la alerta. Puede que no haya llegado: quizá el programa se cerró allí o el equipo salió de la red.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmMain</name>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="182"/>
        <source>Drop files onto a user.</source>
        <translation>Suelte los archivos sobre un usuario.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="358"/>
        <source>&amp;Refresh</source>
        <translation>Ac&amp;tualizar</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="359"/>
        <source>Everybody on the network announces himself again</source>
        <translation>Todos en la red vuelven a anunciarse</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="360"/>
        <location filename="../../../chat/ui/frmMain.cpp" line="361"/>
        <source>&amp;Transfers</source>
        <translation>&amp;Transferencias</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="362"/>
        <source>User &amp;information...</source>
        <translation>&amp;Información del usuario...</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="367"/>
        <source>Users</source>
        <translation>Usuarios</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="368"/>
        <source>Everybody present, then your groups. Enter sends an alert; the Menu key or Shift+F10 opens the user&apos;s menu</source>
        <translation>Todos los presentes y después sus grupos. Intro envía una alerta; la tecla Menú o Mayús+F10 abre el menú del usuario</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="370"/>
        <source>Status line</source>
        <translation>Línea de estado</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="371"/>
        <source>Toolbar</source>
        <translation>Barra de herramientas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="712"/>
        <source>&amp;Unblock</source>
        <translation>&amp;Desbloquear</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmOffer</name>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="58"/>
        <source>Save the files in</source>
        <translation>Guardar los archivos en</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="116"/>
        <source>Files from %1 - Lanyx</source>
        <translation>Archivos de %1 - Lanyx</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="117"/>
        <source>%1 offers you files.</source>
        <translation>%1 le ofrece archivos.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="123"/>
        <source>From:</source>
        <translation>De:</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="124"/>
        <source>Files:</source>
        <translation>Archivos:</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="125"/>
        <source>Size:</source>
        <translation>Tamaño:</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="126"/>
        <source>Save &amp;in:</source>
        <translation>Guardar &amp;en:</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="127"/>
        <source>&amp;Browse...</source>
        <translation>E&amp;xaminar...</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="128"/>
        <source>&amp;Accept</source>
        <translation>&amp;Aceptar</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="129"/>
        <source>&amp;Decline</source>
        <translation>&amp;Rechazar</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="145"/>
        <source>Choose the folder the files go into.</source>
        <translation>Elija la carpeta donde irán los archivos.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="157"/>
        <source>The offer could not be accepted.</source>
        <translation>No se pudo aceptar la oferta.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmOpt</name>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="339"/>
        <source>Language/Langage/Sprache/Lenguaje:</source>
        <translation>Language/Langage/Sprache/Lenguaje:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="479"/>
        <source>&amp;Network</source>
        <translation>&amp;Red</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="493"/>
        <source>&amp;Run Lanyx on StartUp</source>
        <translation>&amp;Iniciar Lanyx al iniciar sesión</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="494"/>
        <source>Starts Lanyx when you log in to the desktop</source>
        <translation>Inicia Lanyx cuando inicia sesión en el escritorio</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="496"/>
        <source>&amp;Desktop notifications for alerts</source>
        <translation>&amp;Notificaciones del escritorio para las alertas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="497"/>
        <source>Alerts go to the desktop&apos;s notification service instead of popups</source>
        <translation>Las alertas van al servicio de notificaciones del escritorio en lugar de ventanas emergentes</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="498"/>
        <source>Sound for a chat line in the &amp;background</source>
        <translation>Sonido para una línea de chat en &amp;segundo plano</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="753"/>
        <source>The destinations could not be saved: %1</source>
        <translation>No se pudieron guardar los destinos: %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="786"/>
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
        <location filename="../../../chat/ui/frmPop.cpp" line="72"/>
        <source>Private</source>
        <translation>Privada</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="72"/>
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
        <location filename="../../../chat/ui/frmPop.cpp" line="499"/>
        <source>%1 could not be written.

%2</source>
        <translation>No se pudo escribir %1.

%2</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmSave</name>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="95"/>
        <source>Files</source>
        <translation>Archivos</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="96"/>
        <source>Folders</source>
        <translation>Carpetas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="97"/>
        <source>Folder</source>
        <translation>Carpeta</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="104"/>
        <location filename="../../../chat/ui/frmSave.cpp" line="105"/>
        <location filename="../../../chat/ui/frmSave.cpp" line="127"/>
        <location filename="../../../chat/ui/frmSave.cpp" line="128"/>
        <source>Parent folder</source>
        <translation>Carpeta superior</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="145"/>
        <source>68: Device unavailable</source>
        <translation>68: dispositivo no disponible</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmTransfers</name>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="149"/>
        <source>Transfers - Lanyx</source>
        <translation>Transferencias - Lanyx</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="150"/>
        <source>No transfers yet. Send files from a user&apos;s menu, or drop them onto a user.</source>
        <translation>Aún no hay transferencias. Envíe archivos desde el menú de un usuario o suéltelos sobre un usuario.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="151"/>
        <source>C&amp;lear Finished</source>
        <translation>&amp;Quitar las terminadas</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="152"/>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="153"/>
        <source>Transfers</source>
        <translation>Transferencias</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="166"/>
        <source>No program here opens folders. The files are in:
%1</source>
        <translation>Aquí ningún programa abre carpetas. Los archivos están en:
%1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="217"/>
        <source>Left out: %1</source>
        <translation>Omitidos: %1</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmUserInfo</name>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="69"/>
        <source>Key:</source>
        <translation>Clave:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="70"/>
        <source>Your fingerprint:</source>
        <translation>Su huella:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="71"/>
        <source>Known fingerprint:</source>
        <translation>Huella conocida:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="72"/>
        <source>Announced now:</source>
        <translation>Anunciada ahora:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="73"/>
        <source>&amp;Accept the new key</source>
        <translation>&amp;Aceptar la nueva clave</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="77"/>
        <source>Warning</source>
        <translation>Aviso</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="89"/>
        <source>this copy has no keys</source>
        <translation>esta copia no tiene claves</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="100"/>
        <source>none</source>
        <translation>ninguna</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="101"/>
        <source>nothing heard</source>
        <translation>nada recibido</translation>
    </message>
</context>
</TS>

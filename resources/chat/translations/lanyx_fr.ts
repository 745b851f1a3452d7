<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <location filename="../../../chat/ui/UiLanguage.cpp" line="17"/>
        <source>Drive</source>
        <translation>Disque</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UiLanguage.cpp" line="18"/>
        <source>File Folder</source>
        <translation>Dossier</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UiLanguage.cpp" line="19"/>
        <source>Folder</source>
        <translation>Dossier</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UiLanguage.cpp" line="20"/>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UiLanguage.cpp" line="21"/>
        <source>Shortcut</source>
        <translation>Lien symbolique</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UiLanguage.cpp" line="22"/>
        <source>Unknown</source>
        <translation>Inconnu</translation>
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
        <translation>chiffré</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="32"/>
        <source>in the clear</source>
        <translation>en clair</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="33"/>
        <source>warning</source>
        <translation>avertissement</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="34"/>
        <source>blocked</source>
        <translation>bloqué</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="35"/>
        <source>unread lines</source>
        <translation>lignes non lues</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="36"/>
        <source>available</source>
        <translation>disponible</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="37"/>
        <source>alerts only</source>
        <translation>alertes seulement</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="38"/>
        <source>do not disturb</source>
        <translation>ne pas déranger</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="54"/>
        <source>not sent</source>
        <translation>non envoyé</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="55"/>
        <source>queued</source>
        <translation>en attente d&apos;envoi</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="56"/>
        <source>sent</source>
        <translation>envoyé</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="58"/>
        <source>delivered</source>
        <translation>distribué</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="59"/>
        <source>not confirmed</source>
        <translation>non confirmé</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="60"/>
        <source>waiting</source>
        <translation>en attente</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="69"/>
        <source>%1: not sent: %1&apos;s key changed. Compare the safety number in %1&apos;s information before anything goes to %1 again</source>
        <translation>%1 : non envoyé : la clé de %1 a changé. Comparez le numéro de sécurité dans les informations de %1 avant de lui envoyer à nouveau quoi que ce soit</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="74"/>
        <source>%1: not sent: %1&apos;s program takes no sealed messages</source>
        <translation>%1 : non envoyé : le programme de %1 n&apos;accepte pas les messages scellés</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="76"/>
        <source>%1: not sent: nothing to send</source>
        <translation>%1 : non envoyé : rien à envoyer</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="78"/>
        <source>%1: not sent: it waited for %1 too long and expired</source>
        <translation>%1 : non envoyé : le message a attendu %1 trop longtemps et a expiré</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="81"/>
        <source>%1: not sent: you took it back while it waited</source>
        <translation>%1 : non envoyé : vous l&apos;avez retiré pendant qu&apos;il attendait</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="83"/>
        <source>%1: not sent: %2 messages already wait for %1</source>
        <translation>%1 : non envoyé : %2 messages attendent déjà %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="86"/>
        <source>%1: not sent: the messages waiting for absent users fill the room kept for them</source>
        <translation>%1 : non envoyé : les messages en attente pour des utilisateurs absents remplissent la place qui leur est réservée</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="82"/>
        <source>%1: not sent: not on the network</source>
        <translation>%1 : non envoyé : absent du réseau</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="85"/>
        <source>%1: shown here only</source>
        <translation>%1 : affiché ici seulement</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="88"/>
        <source>%1: queued, encrypted: %1 is not on the network; it goes when %1 is seen again</source>
        <translation>%1 : en attente d&apos;envoi, chiffré : %1 n&apos;est pas sur le réseau ; le message partira dès que %1 sera revu</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="93"/>
        <source>%1: in the clear, sent; this recipient&apos;s program does not confirm</source>
        <translation>%1 : envoyé en clair ; le programme de ce destinataire ne confirme pas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="96"/>
        <source>%1: encrypted, delivered</source>
        <translation>%1 : chiffré, distribué</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="97"/>
        <source>%1: encrypted, not confirmed</source>
        <translation>%1 : chiffré, non confirmé</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/StateIcons.cpp" line="98"/>
        <source>%1: encrypted, waiting for confirmation</source>
        <translation>%1 : chiffré, en attente de confirmation</translation>
    </message>
</context>
<context>
    <name>lanyx::FileTransfers</name>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="77"/>
        <source>1 byte</source>
        <translation>1 octet</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="78"/>
        <source>%1 bytes</source>
        <translation>%1 octets</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="79"/>
        <source>%1 KB</source>
        <translation>%1 Ko</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="80"/>
        <source>%1 MB</source>
        <translation>%1 Mo</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="81"/>
        <source>%1 GB</source>
        <translation>%1 Go</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="82"/>
        <source>%1 TB</source>
        <translation>%1 To</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="93"/>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="94"/>
        <source>1 file</source>
        <translation>1 fichier</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="95"/>
        <source>%1 files</source>
        <translation>%1 fichiers</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="105"/>
        <source>Waiting for %1 to accept</source>
        <translation>En attente de l&apos;acceptation de %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="107"/>
        <source>Offered by %1</source>
        <translation>Proposé par %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="109"/>
        <source>Sending</source>
        <translation>Envoi en cours</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="110"/>
        <source>Receiving</source>
        <translation>Réception en cours</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="112"/>
        <source>Interrupted</source>
        <translation>Interrompu</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="114"/>
        <source>Sent</source>
        <translation>Envoyé</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="115"/>
        <source>Received</source>
        <translation>Reçu</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="117"/>
        <source>Failed</source>
        <translation>Échec</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="119"/>
        <source>Declined by %1</source>
        <translation>Refusé par %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="120"/>
        <source>Declined</source>
        <translation>Refusé</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="122"/>
        <source>Cancelled</source>
        <translation>Annulé</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="125"/>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="133"/>
        <source>stopped by %1: not enough free space there</source>
        <translation>arrêté par %1 : pas assez d&apos;espace libre là-bas</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="135"/>
        <source>stopped by %1: the files could not be written there</source>
        <translation>arrêté par %1 : les fichiers n&apos;ont pas pu y être écrits</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="138"/>
        <source>stopped by %1: a file arrived damaged</source>
        <translation>arrêté par %1 : un fichier est arrivé endommagé</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="139"/>
        <source>refused by %1</source>
        <translation>refusé par %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="141"/>
        <source>not shown to %1: too many offers were waiting there</source>
        <translation>non présenté à %1 : trop d&apos;offres y attendaient</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="143"/>
        <source>stopped by %1</source>
        <translation>arrêté par %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="232"/>
        <source>This copy of Lanyx was built without file transfers.</source>
        <translation>Cette copie de Lanyx a été compilée sans transfert de fichiers.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="239"/>
        <source>This copy runs without keys, so it cannot send files.</source>
        <translation>Cette copie fonctionne sans clés et ne peut donc pas envoyer de fichiers.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="240"/>
        <source>This user&apos;s program cannot receive files.</source>
        <translation>Le programme de cet utilisateur ne peut pas recevoir de fichiers.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="241"/>
        <source>This user&apos;s key changed: compare the safety number in the user&apos;s information first.</source>
        <translation>La clé de cet utilisateur a changé : comparez d&apos;abord le numéro de sécurité dans les informations sur l&apos;utilisateur.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="243"/>
        <source>A copy without keys uses this name too: check the key in the user&apos;s information first.</source>
        <translation>Une copie sans clés utilise aussi ce nom : vérifiez d&apos;abord la clé dans les informations sur l&apos;utilisateur.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="245"/>
        <source>This user&apos;s program has not been heard with its key since it was listed.</source>
        <translation>Le programme de cet utilisateur n&apos;a pas été entendu avec sa clé depuis son entrée dans la liste.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="625"/>
        <source>%1 has not been heard from there with the same key since Lanyx started</source>
        <translation>%1 n&apos;a rien envoyé de là avec la même clé depuis le démarrage de Lanyx</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="689"/>
        <source>%1 did not come back within %2 min (%3)</source>
        <translation>%1 n&apos;est pas revenu dans les %2 min (%3)</translation>
    </message>
    <message>
        <source>This user&apos;s key changed: accept the new key in the user&apos;s info first.</source>
        <translation type="vanished">La clé de cet utilisateur a changé : acceptez d&apos;abord la nouvelle clé dans ses informations.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="309"/>
        <source>Nothing to send.</source>
        <translation>Rien à envoyer.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="311"/>
        <source>Too many transfers at once; wait for some to end.</source>
        <translation>Trop de transferts à la fois ; attendez que certains se terminent.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="315"/>
        <source>%1 does not exist.</source>
        <translation>%1 n&apos;existe pas.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="316"/>
        <source>%1 cannot be read.</source>
        <translation>%1 ne peut pas être lu.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="321"/>
        <source>Nothing to send</source>
        <translation>Rien à envoyer</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="327"/>
        <source>Files cannot be offered: %1</source>
        <translation>Impossible de proposer des fichiers : %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="343"/>
        <source>No key is known for %1.</source>
        <translation>Aucune clé n&apos;est connue pour %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="359"/>
        <source>The offer could not be sent: %1</source>
        <translation>L&apos;offre n&apos;a pas pu être envoyée : %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="361"/>
        <source>The offer could not be sent to %1.</source>
        <translation>L&apos;offre n&apos;a pas pu être envoyée à %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="370"/>
        <source>no answer</source>
        <translation>pas de réponse</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="485"/>
        <source>%1 is not a folder this user can write to</source>
        <translation>%1 n&apos;est pas un dossier où cet utilisateur peut écrire</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="502"/>
        <source>no key is known for %1</source>
        <translation>aucune clé n&apos;est connue pour %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="572"/>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="579"/>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="733"/>
        <source>refused: %1</source>
        <translation>refusé : %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="588"/>
        <source>%1; trying again</source>
        <translation>%1 ; nouvelle tentative</translation>
    </message>
    <message>
        <source>the receiver did not come back</source>
        <translation type="vanished">le destinataire n&apos;est pas revenu</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="769"/>
        <source>too many offers were waiting</source>
        <translation>trop d&apos;offres étaient en attente</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="781"/>
        <source>not answered</source>
        <translation>sans réponse</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="808"/>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="824"/>
        <source>cancelled by %1</source>
        <translation>annulé par %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="823"/>
        <source>withdrawn by %1</source>
        <translation>retiré par %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="948"/>
        <source>interrupted when Lanyx ended; it goes on when %1 is back</source>
        <translation>interrompu à la fermeture de Lanyx ; reprend dès que %1 est de retour</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/FileTransfers.cpp" line="1019"/>
        <source>the offer did not reach %1</source>
        <translation>l&apos;offre n&apos;est pas parvenue à %1</translation>
    </message>
</context>
<context>
    <name>lanyx::TransferClient</name>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="347"/>
        <source>nothing came from the sender for %1 s</source>
        <translation>rien n&apos;est venu de l&apos;expéditeur pendant %1 s</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="368"/>
        <source>the sender closed the connection before the handshake (a different version of Lanyx, or too many connections)</source>
        <translation>l&apos;expéditeur a fermé la connexion avant la poignée de main (une autre version de Lanyx, ou trop de connexions)</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="370"/>
        <source>the sender closed the connection</source>
        <translation>l&apos;expéditeur a fermé la connexion</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="392"/>
        <source>cancelled</source>
        <translation>annulé</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="424"/>
        <source>the sender refused the connection: %1</source>
        <translation>l&apos;expéditeur a refusé la connexion : %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="473"/>
        <source>connection lost (%1)</source>
        <translation>connexion perdue (%1)</translation>
    </message>
</context>
<context>
    <name>lanyx::TransferServer</name>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="166"/>
        <source>a connection for a transfer did not complete its handshake in time</source>
        <translation>une connexion de transfert n&apos;a pas terminé sa poignée de main à temps</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="189"/>
        <source>a receiver with an older version of Lanyx tried to connect; it cannot receive files from this one</source>
        <translation>un destinataire avec une version plus ancienne de Lanyx a tenté de se connecter ; il ne peut pas recevoir de fichiers de celle-ci</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="229"/>
        <source>a connection for a transfer failed its handshake: %1</source>
        <translation>une connexion de transfert a échoué à sa poignée de main : %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="300"/>
        <source>the receiver took nothing for %1 s</source>
        <translation>le destinataire n&apos;a rien pris pendant %1 s</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/qt/TransferLinks.cpp" line="301"/>
        <source>the receiver closed the connection</source>
        <translation>le destinataire a fermé la connexion</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::ChatWindows</name>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="230"/>
        <source>%1 left the network; lines to %1 wait until %1 is back.</source>
        <translation>%1 a quitté le réseau ; les lignes pour %1 attendent son retour.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="300"/>
        <source>%1 shares this chat with you and %2.</source>
        <translation>%1 partage cette discussion avec vous et %2.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="389"/>
        <source>Earlier lines of this chat, as %1 has them:</source>
        <translation>Lignes précédentes de ce chat, telles que %1 les a :</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="251"/>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="306"/>
        <source>%1 added %2</source>
        <translation>%1 a ajouté %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="311"/>
        <source>%1 removed %2</source>
        <translation>%1 a retiré %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="317"/>
        <source>%1 removed you from this chat: it is a list of your own now.</source>
        <translation>%1 vous a retiré de cette discussion : la liste n’est plus qu’à vous.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="330"/>
        <source>%1 is now %2.</source>
        <translation>%1 s&apos;appelle maintenant %2.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/ChatWindows.cpp" line="353"/>
        <source>%1 is back.</source>
        <translation>%1 est de retour.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::EmojiButton</name>
    <message>
        <location filename="../../../chat/ui/EmojiPicker.cpp" line="80"/>
        <source>Insert an emoji</source>
        <translation>Insérer un emoji</translation>
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
        <translation>Rechercher dans ce chat</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>The match before (Enter)</source>
        <translation>La correspondance précédente (Entrée)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>Earlier match</source>
        <translation>Correspondance précédente</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>The match after (Shift+Enter)</source>
        <translation>La correspondance suivante (Maj+Entrée)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>Later match</source>
        <translation>Correspondance suivante</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>Close (Esc)</source>
        <translation>Fermer (Échap)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>Close the search</source>
        <translation>Fermer la recherche</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>No match</source>
        <translation>Aucune correspondance</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/FindBar.cpp" line="1"/>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::FileDropFilter</name>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="149"/>
        <source>File transfers are not available.</source>
        <translation>Les transferts de fichiers ne sont pas disponibles.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="155"/>
        <source>Drop files onto a user.</source>
        <translation>Déposez les fichiers sur un utilisateur.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="171"/>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="202"/>
        <source>Only files and folders on this computer can be sent.</source>
        <translation>Seuls les fichiers et dossiers de cet ordinateur peuvent être envoyés.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="188"/>
        <source>Drop to offer the files to %1.</source>
        <translation>Déposez pour proposer les fichiers à %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="215"/>
        <source>Send Files</source>
        <translation>Envoyer des fichiers</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::LanyxApp</name>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="67"/>
        <source>process %1</source>
        <translation>processus %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="71"/>
        <source>Lanyx already runs on the data folder %1.</source>
        <translation>Lanyx tourne déjà sur le dossier de données %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="72"/>
        <source>Lanyx already runs on the data folder %1 (%2).</source>
        <translation>Lanyx tourne déjà sur le dossier de données %1 (%2).</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="73"/>
        <source>Its window is shown now.</source>
        <translation>Sa fenêtre est affichée maintenant.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="74"/>
        <source>It did not answer (lanyx-cli has no window): use it or end it.</source>
        <translation>Il n’a pas répondu (lanyx-cli n’a pas de fenêtre) : utilisez-le ou arrêtez-le.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="75"/>
        <source>To run another copy beside it, start that one with --dir and another folder.</source>
        <translation>Pour lancer une autre copie à côté, démarrez-la avec --dir et un autre dossier.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="129"/>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="134"/>
        <source>(not verified) </source>
        <translation>(non vérifié) </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="277"/>
        <source>%1: %2 alerts, %3 chat lines not shown</source>
        <translation>%1 : %2 alertes, %3 lignes de discussion non affichées</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="360"/>
        <source>A message to %1 was not sent: %1 was not seen on the network in the time it could wait.</source>
        <translation>Un message à %1 n&apos;a pas été envoyé : %1 n&apos;a pas été vu sur le réseau pendant le temps où il pouvait attendre.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="363"/>
        <source>Waiting message - Lanyx</source>
        <translation>Message en attente - Lanyx</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="374"/>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="383"/>
        <source>History - Lanyx</source>
        <translation>Historique - Lanyx</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="383"/>
        <source>No history is kept in this run (see the log).</source>
        <translation>Aucun historique n&apos;est conservé pendant cette exécution (voir le journal).</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/LanyxApp.cpp" line="332"/>
        <source>The history was damaged. It is kept as %1; %n message(s) that could be read of it are in a new one.</source>
        <translation>
            <numerusform>L&apos;historique était endommagé. Il est conservé sous le nom %1 ; %n message qui a pu en être lu se trouve dans un nouveau.</numerusform>
            <numerusform>L&apos;historique était endommagé. Il est conservé sous le nom %1 ; %n messages qui ont pu en être lus se trouvent dans un nouveau.</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="336"/>
        <source>The history&apos;s search index was damaged and has been built anew; no message was lost.</source>
        <translation>L&apos;index de recherche de l&apos;historique était endommagé et a été reconstruit ; aucun message n&apos;a été perdu.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="338"/>
        <source>Less than %1 MB are free on the disk of the history: nothing is recorded until there is more room.</source>
        <translation>Moins de %1 Mo sont libres sur le disque de l&apos;historique : rien n&apos;est enregistré tant qu&apos;il n&apos;y a pas plus de place.</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/LanyxApp.cpp" line="341"/>
        <source>There is room on the disk of the history again: recording goes on (%n message(s) not recorded).</source>
        <translation>
            <numerusform>Il y a de nouveau de la place sur le disque de l&apos;historique : l&apos;enregistrement reprend (%n message non enregistré).</numerusform>
            <numerusform>Il y a de nouveau de la place sur le disque de l&apos;historique : l&apos;enregistrement reprend (%n messages non enregistrés).</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/LanyxApp.cpp" line="343"/>
        <source>The history is written again.</source>
        <translation>L&apos;historique est de nouveau écrit.</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/LanyxApp.cpp" line="345"/>
        <source>%n message(s) not recorded in the history: it could not keep up.</source>
        <translation>
            <numerusform>%n message non enregistré dans l&apos;historique : il ne suivait pas.</numerusform>
            <numerusform>%n messages non enregistrés dans l&apos;historique : il ne suivait pas.</numerusform>
        </translation>
    </message>
    <message>
        <source>Conversations - Lanyx</source>
        <translation>Conversations - Lanyx</translation>
    </message>
    <message>
        <source>This shared chat is no longer kept here: its lines are in the History window.</source>
        <translation>Cette discussion partagée n'est plus conservée ici : ses lignes sont dans la fenêtre Historique.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::NetworkPage</name>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="60"/>
        <source>Lanyx sends to every network this computer is on. For offices behind a router, every message also goes to these destinations, one a line: host names, addresses, or the broadcast address of another subnet (such as 10.2.255.255).</source>
        <translation>Lanyx envoie à chaque réseau auquel cet ordinateur est relié. Pour les bureaux derrière un routeur, chaque message va aussi à ces destinations, une par ligne : noms d&apos;hôte, adresses ou adresse de diffusion d&apos;un autre sous-réseau (par exemple 10.2.255.255).</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="63"/>
        <source>Extra destinations</source>
        <translation>Destinations supplémentaires</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="64"/>
        <source>One host name or address a line</source>
        <translation>Un nom d&apos;hôte ou une adresse par ligne</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="67"/>
        <source>%1 %2/%3 (broadcast %4)</source>
        <translation>%1 %2/%3 (diffusion %4)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="71"/>
        <source>No network interface that can broadcast was found.</source>
        <translation>Aucune interface réseau capable de diffuser n&apos;a été trouvée.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="72"/>
        <source>Sent through: %1</source>
        <translation>Envoi par : %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="96"/>
        <source>empty</source>
        <translation>vide</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="97"/>
        <source>longer than 253 characters</source>
        <translation>plus de 253 caractères</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="98"/>
        <source>an empty part between dots</source>
        <translation>une partie vide entre deux points</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="99"/>
        <source>a part ends with &quot;-&quot;</source>
        <translation>une partie se termine par « - »</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="100"/>
        <source>an IPv6 address (only IPv4 is used)</source>
        <translation>une adresse IPv6 (seul IPv4 est utilisé)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="101"/>
        <source>not a host name or IPv4 address</source>
        <translation>ni un nom d&apos;hôte ni une adresse IPv4</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="102"/>
        <source>a part begins with &quot;-&quot;</source>
        <translation>une partie commence par « - »</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="103"/>
        <source>a part longer than 63 characters</source>
        <translation>une partie de plus de 63 caractères</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="104"/>
        <source>ends with a dot</source>
        <translation>se termine par un point</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="105"/>
        <source>not a valid IPv4 address</source>
        <translation>pas une adresse IPv4 valide</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="118"/>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="155"/>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="123"/>
        <source>%1: more than %2 destinations</source>
        <translation>%1 : plus de %2 destinations</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="153"/>
        <source>%1: being looked up</source>
        <translation>%1 : recherche en cours</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/NetworkPage.cpp" line="154"/>
        <source>%1: does not resolve</source>
        <translation>%1 : introuvable</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::PopupSummary</name>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="58"/>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="62"/>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="167"/>
        <source>Alerts not shown</source>
        <translation>Alertes non affichées</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="59"/>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="60"/>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="61"/>
        <source>&amp;Show</source>
        <translation>&amp;Afficher</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="63"/>
        <source>Senders whose alerts found no place on the screen; Enter shows them</source>
        <translation>Expéditeurs dont les alertes n&apos;ont pas trouvé de place à l&apos;écran ; Entrée les affiche</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="156"/>
        <source>1 alert</source>
        <translation>1 alerte</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="156"/>
        <source>%1 alerts</source>
        <translation>%1 alertes</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="157"/>
        <source>%1: %2, the last at %3: %4</source>
        <translation>%1 : %2, la dernière à %3 : %4</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/PopupSummary.cpp" line="166"/>
        <source>(%1 more not kept)</source>
        <translation>(%1 autres non conservées)</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::SendFileActions</name>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="40"/>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="46"/>
        <source>%1 items</source>
        <translation>%1 éléments</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="47"/>
        <source>Offered %1 to %2.</source>
        <translation>%1 proposé à %2.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="51"/>
        <source>Not offered to %1</source>
        <translation>Non proposé à %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="58"/>
        <source>Send Folder</source>
        <translation>Envoyer un dossier</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="58"/>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="135"/>
        <source>Send Files</source>
        <translation>Envoyer des fichiers</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="67"/>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="105"/>
        <source>Send &amp;File...</source>
        <translation>Envoyer un &amp;fichier...</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="69"/>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="106"/>
        <source>Send F&amp;older...</source>
        <translation>Envoyer un d&amp;ossier...</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/FileSending.cpp" line="110"/>
        <source>File transfers are not available.</source>
        <translation>Les transferts de fichiers ne sont pas disponibles.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::TransferRowWidget</name>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="82"/>
        <source>&amp;Accept...</source>
        <translation>&amp;Accepter...</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="83"/>
        <source>&amp;Decline</source>
        <translation>&amp;Refuser</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="84"/>
        <source>&amp;Cancel</source>
        <translation>A&amp;nnuler</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="85"/>
        <source>&amp;Retry</source>
        <translation>&amp;Réessayer</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="86"/>
        <source>&amp;Open Folder</source>
        <translation>&amp;Ouvrir le dossier</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="90"/>
        <source>Progress of %1</source>
        <translation>Progression de %1</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::TransferUi</name>
    <message>
        <location filename="../../../chat/transfer/ui/TransferUi.cpp" line="69"/>
        <source>Files offered</source>
        <translation>Fichiers proposés</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferUi.cpp" line="70"/>
        <source>%1 offers %2; answer in the Transfers window.</source>
        <translation>%1 propose %2 ; répondez dans la fenêtre Transferts.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferUi.cpp" line="91"/>
        <source>Transfer finished</source>
        <translation>Transfert terminé</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferUi.cpp" line="91"/>
        <source>Transfer failed</source>
        <translation>Échec du transfert</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::TransferView</name>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="35"/>
        <source>%1 items</source>
        <translation>%1 éléments</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="36"/>
        <source>%1 and %2 more</source>
        <translation>%1 et %2 autres</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="46"/>
        <source>%1 s left</source>
        <translation>encore %1 s</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="48"/>
        <source>%1 min left</source>
        <translation>encore %1 min</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="51"/>
        <source>%1 h left</source>
        <translation>encore %1 h</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="52"/>
        <source>%1 h %2 min left</source>
        <translation>encore %1 h %2 min</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="64"/>
        <source>To %1</source>
        <translation>À %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="65"/>
        <source>From %1</source>
        <translation>De %1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="70"/>
        <source>Declined</source>
        <translation>Refusé</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="73"/>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="101"/>
        <source>Sent %1 to %2.</source>
        <translation>%1 envoyé à %2.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="102"/>
        <source>Received %1 from %2 into %3.</source>
        <translation>%1 reçu de %2 dans %3.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="105"/>
        <source>Sending %1 to %2 failed%3.</source>
        <translation>L&apos;envoi de %1 à %2 a échoué%3.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="107"/>
        <source>Receiving %1 from %2 failed%3.</source>
        <translation>La réception de %1 de %2 a échoué%3.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="110"/>
        <source>%1 declined %2.</source>
        <translation>%1 a refusé %2.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="111"/>
        <source>Declined %1 from %2.</source>
        <translation>%1 de %2 refusé.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="113"/>
        <source>Sending %1 to %2 was cancelled%3.</source>
        <translation>L&apos;envoi de %1 à %2 a été annulé%3.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="115"/>
        <source>Receiving %1 from %2 was cancelled%3.</source>
        <translation>La réception de %1 de %2 a été annulée%3.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="132"/>
        <source>%1 cannot receive files.</source>
        <translation>%1 ne peut pas recevoir de fichiers.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/TransferView.cpp" line="136"/>
        <source>Files go to named users: choose one.</source>
        <translation>Les fichiers vont à des utilisateurs nommés : choisissez-en un.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::UserListModel</name>
    <message>
        <source>verified</source>
        <translation type="vanished">vérifié</translation>
    </message>
    <message>
        <source>key changed</source>
        <translation type="vanished">clé changée</translation>
    </message>
    <message>
        <source>not verified</source>
        <translation type="vanished">non vérifié</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="98"/>
        <source>checked by you</source>
        <translation>vérifiée par vous</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="99"/>
        <source>new key, not checked</source>
        <translation>nouvelle clé, non vérifiée</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="100"/>
        <source>key known, not heard with it since listed</source>
        <translation>clé connue, rien reçu avec elle depuis l&apos;entrée dans la liste</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="101"/>
        <source>key changed: nothing private is sent until you check it</source>
        <translation>clé changée : rien de privé n&apos;est envoyé tant que vous ne l&apos;avez pas vérifiée</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="102"/>
        <source>a copy without keys uses this name too: check the key</source>
        <translation>une copie sans clés utilise aussi ce nom : vérifiez la clé</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/UserListModel.cpp" line="103"/>
        <source>no keys: what this user sends and gets is not protected</source>
        <translation>pas de clés : ce que cet utilisateur envoie et reçoit n&apos;est pas protégé</translation>
    </message>
    <message>
        <source>you</source>
        <translation>vous</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmAbout</name>
    <message>
        <location filename="../../../chat/ui/frmAbout.cpp" line="93"/>
        <source>The program&apos;s pages on the web</source>
        <translation>Les pages du programme sur le Web</translation>
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
        <translation>Lanyx - discussion et alertes pour votre réseau local.

Copyright (C) les développeurs de Lanyx.

Lanyx parle directement aux autres copies de votre segment de réseau : il n&apos;y a pas de serveur, et rien de ce que vous envoyez ne quitte le segment. </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmAbout.cpp" line="149"/>
        <source>This copy has no keys: messages travel as plain text and anyone on the segment can read them or send under any name, so do not use Lanyx for secrets.</source>
        <translation>Cette copie n&apos;a pas de clés : les messages circulent en clair et n&apos;importe qui sur le segment peut les lire ou en envoyer sous n&apos;importe quel nom ; n&apos;utilisez donc pas Lanyx pour des secrets.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmAbout.cpp" line="151"/>
        <source>Between copies of this Lanyx, what you send is signed and private messages are encrypted; public alerts and chat lines can still be read by anyone on the segment. Copies of the original protocol have no keys: what goes to and from them travels as plain text that anyone on the segment can read or send under any name.</source>
        <translation>Entre copies de ce Lanyx, ce que vous envoyez est signé et les messages privés sont chiffrés ; les alertes publiques et les lignes de discussion restent lisibles par tout le monde sur le segment. Les copies du protocole d&apos;origine n&apos;ont pas de clés : ce qui leur est envoyé ou vient d&apos;elles circule en clair, et n&apos;importe qui sur le segment peut le lire ou l&apos;envoyer sous n&apos;importe quel nom.</translation>
    </message>
    <message>
        <source>Lanyx - chat and alerts for your local network.

Copyright (C) the Lanyx developers.

Lanyx talks to the other copies on your network segment directly: there is no server. Between copies with keys, private messages are encrypted and everything is signed; what goes to or comes from copies without keys travels as plain text, which anyone on the segment can read or send under any name.</source>
        <translation type="vanished">Lanyx - discussion et alertes pour votre réseau local.

Copyright (C) les développeurs de Lanyx.

Lanyx parle directement aux autres copies de votre segment de réseau : il n&apos;y a pas de serveur. Entre copies munies de clés, les messages privés sont chiffrés et tout est signé ; ce qui va vers des copies sans clés ou en vient circule en clair, et n&apos;importe qui sur le segment peut le lire ou l&apos;envoyer sous n&apos;importe quel nom.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmAbout.cpp" line="159"/>
        <source>Lanyx is free software: you may use, copy, change and pass it on, alone or with other programs, provided that this notice stays with every copy and that changed copies say that they were changed.

Lanyx comes with no warranty of any kind, not even that it is fit for a particular purpose. The authors are not liable for any damage that comes from using it, as far as the law allows.</source>
        <translation>Lanyx est un logiciel libre : vous pouvez l&apos;utiliser, le copier, le modifier et le transmettre, seul ou avec d&apos;autres programmes, à condition que cet avis accompagne chaque copie et que les copies modifiées indiquent qu&apos;elles l&apos;ont été.

Lanyx est fourni sans aucune garantie, pas même celle d&apos;être adapté à un usage particulier. Les auteurs ne sont pas responsables des dommages résultant de son utilisation, dans la mesure permise par la loi.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmBox</name>
    <message>
        <source>The key of %1 has changed. Either %1&apos;s program was reinstalled or its data folder lost, or somebody else is using the name %1. Until you accept the new key, %1&apos;s leave notices, status and colour are ignored and messages from %1 are marked &quot;not verified&quot;. Compare the fingerprints with %1 in person or by phone before you accept the new key.</source>
        <translation type="vanished">La clé de %1 a changé. Soit le programme de %1 a été réinstallé ou son dossier de données perdu, soit quelqu&apos;un d&apos;autre utilise le nom %1. Tant que vous n&apos;acceptez pas la nouvelle clé, les avis de départ, le statut et la couleur de %1 sont ignorés et les messages de %1 sont marqués « non vérifié ». Comparez les empreintes avec %1 en personne ou par téléphone avant d&apos;accepter la nouvelle clé.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/BoxMessage.cpp" line="109"/>
        <source>The key of %1 has changed. Either %1&apos;s program was reinstalled or its data folder lost, or somebody else is using the name %1. Until you decide, nothing private is sent to %1, and what the new key signs is marked &quot;not verified&quot; (leave notices, status and colour from it are ignored). Compare the safety number in %1&apos;s information with %1 in person or by phone: accept the new key only when both of you see the same number.</source>
        <translation>La clé de %1 a changé. Soit le programme de %1 a été réinstallé ou son dossier de données perdu, soit quelqu&apos;un d&apos;autre utilise le nom %1. Tant que vous n&apos;avez pas décidé, rien de privé n&apos;est envoyé à %1, et ce que signe la nouvelle clé est marqué « non vérifié » (les avis de départ, le statut et la couleur qui en viennent sont ignorés). Comparez le numéro de sécurité affiché dans les informations de %1 avec %1 en personne ou par téléphone : n&apos;acceptez la nouvelle clé que si vous voyez tous les deux le même numéro.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/BoxMessage.cpp" line="124"/>
        <location filename="../../../chat/ui/BoxMessage.cpp" line="153"/>
        <source>User &amp;information...</source>
        <translation>&amp;Informations sur l&apos;utilisateur...</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/BoxMessage.cpp" line="138"/>
        <source>%1 is now called %2, a name in your groups or your history. What comes under the name %2 from now on is signed by %1&apos;s key: if %2 is somebody else to you, tell them apart before you write. A check of %1&apos;s key counts under the new name only once you compared the safety number in %2&apos;s information again.</source>
        <translation>%1 s&apos;appelle maintenant %2, un nom de vos groupes ou de votre historique. Ce qui arrive désormais sous le nom %2 est signé par la clé de %1 : si %2 est pour vous quelqu&apos;un d&apos;autre, distinguez-les avant d&apos;écrire. Une vérification de la clé de %1 ne compte sous le nouveau nom qu&apos;une fois que vous avez de nouveau comparé le numéro de sécurité dans les informations de %2.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/BoxMessage.cpp" line="170"/>
        <source>The list of blocked users holds %1 names, all that Lanyx keeps: %2 more were not blocked. Unblock names you no longer need to make room.</source>
        <translation>La liste des utilisateurs bloqués contient %1 noms, tout ce que Lanyx conserve : %2 de plus n&apos;ont pas été bloqués. Débloquez les noms dont vous n&apos;avez plus besoin pour faire de la place.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/BoxMessage.cpp" line="175"/>
        <source>Lanyx keeps %1 groups: %2 more were left out.</source>
        <translation>Lanyx conserve %1 groupes : %2 de plus ont été laissés de côté.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmChat</name>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="195"/>
        <source>Members to mention</source>
        <translation>Membres à mentionner</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="1"/>
        <source>Seen by %1</source>
        <translation>Vu par %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="330"/>
        <source>%1 is typing…</source>
        <translation>%1 écrit…</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="330"/>
        <source>%1 are typing…</source>
        <translation>%1 écrivent…</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="191"/>
        <source>&amp;Take back the waiting line</source>
        <translation>&amp;Retirer la ligne en attente</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="289"/>
        <source>History with %1</source>
        <translation>Historique avec %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="290"/>
        <location filename="../../../chat/ui/frmChat.cpp" line="292"/>
        <source>History of this chat</source>
        <translation>Historique de cette discussion</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="352"/>
        <source>Members</source>
        <translation>Participants</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="353"/>
        <source>The members of this chat; the Users menu adds and removes them</source>
        <translation>Les participants de cette discussion ; le menu Utilisateurs les ajoute et les retire</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="354"/>
        <source>Conversation</source>
        <translation>Conversation</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="356"/>
        <source>Each line begins with its sender; your lines to named members end with what became of them</source>
        <translation>Chaque ligne commence par son expéditeur ; vos lignes aux participants nommés se terminent par ce qu&apos;elles sont devenues</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="357"/>
        <source>Your line</source>
        <translation>Votre ligne</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="358"/>
        <source>Enter sends it to the members</source>
        <translation>Entrée l&apos;envoie aux participants</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="360"/>
        <source>Delivery</source>
        <translation>Distribution</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="437"/>
        <source>Everybody present is in this chat</source>
        <translation>Toutes les personnes présentes sont dans cette discussion</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="469"/>
        <source>away: left the network, lines wait for the return</source>
        <translation>absent : a quitté le réseau, les lignes attendent son retour</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="472"/>
        <source>does not share this chat: sees the lines sent to it, not who is in it</source>
        <translation>ne partage pas cette discussion : voit les lignes qu’on lui envoie, pas qui y participe</translation>
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
        <translation>Les lignes de discussion n&apos;atteignent pas %1 pour l&apos;instant.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="597"/>
        <source>%1 left the network.</source>
        <translation>%1 a quitté le réseau.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="620"/>
        <source>%1 was removed from this chat.</source>
        <translation>%1 a été retiré de cette discussion.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="640"/>
        <source>The line could not be sent.

%1: %2</source>
        <translation>La ligne n&apos;a pas pu être envoyée.

%1 : %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="677"/>
        <source>%1 delivered</source>
        <translation>%1 distribuées</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="677"/>
        <source>delivered</source>
        <translation>distribué</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="678"/>
        <source>%1 not confirmed</source>
        <translation>%1 non confirmées</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="678"/>
        <source>not confirmed</source>
        <translation>non confirmé</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="679"/>
        <source>%1 sent</source>
        <translation>%1 envoyées</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="679"/>
        <source>sent</source>
        <translation>envoyé</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="680"/>
        <source>%1 not sent</source>
        <translation>%1 non envoyées</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="680"/>
        <source>not sent</source>
        <translation>non envoyé</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="681"/>
        <source>%1 queued</source>
        <translation>%1 en attente d&apos;envoi</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="681"/>
        <source>queued</source>
        <translation>en attente d&apos;envoi</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="682"/>
        <source>%1 waiting</source>
        <translation>%1 en attente</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmChat.cpp" line="682"/>
        <source>waiting</source>
        <translation>en attente</translation>
    </message>
    <message>
        <source>Status line</source>
        <translation>Ligne d’état</translation>
    </message>
    <message>
        <source>Member</source>
        <translation>Membre</translation>
    </message>
    <message>
        <source>Key</source>
        <translation>Clé</translation>
    </message>
    <message>
        <source>Participants</source>
        <translation>Participants</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmCom</name>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="107"/>
        <source>&amp;Take back the waiting alert</source>
        <translation>&amp;Retirer l&apos;alerte en attente</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="145"/>
        <source>The recipients; the context menu sends files to them</source>
        <translation>Les destinataires ; le menu contextuel leur envoie des fichiers</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="147"/>
        <source>Ctrl+Enter sends, Escape closes</source>
        <translation>Ctrl+Entrée envoie, Échap ferme</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="148"/>
        <source>Delivery</source>
        <translation>Distribution</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="149"/>
        <source>What became of the alert, per recipient</source>
        <translation>Ce qu&apos;est devenue l&apos;alerte, par destinataire</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="182"/>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="195"/>
        <source>%1 will not see this alert now: the status is &quot;%2&quot;.</source>
        <translation>%1 ne verra pas cette alerte pour l&apos;instant : son statut est « %2 ».</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="210"/>
        <source>The alert could not be sent.

%1: %2</source>
        <translation>L&apos;alerte n&apos;a pas pu être envoyée.

%1 : %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="242"/>
        <source>%1: in the clear, sent; %1 is not on the network now and will not get it</source>
        <translation>%1 : envoyé en clair ; %1 n&apos;est pas sur le réseau en ce moment et ne le recevra pas</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="247"/>
        <source>Waits on this computer; the context menu takes it back</source>
        <translation>Attend sur cet ordinateur ; le menu contextuel permet de le retirer</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="266"/>
        <source>Not every recipient was sent the alert: the list above says why.</source>
        <translation>L&apos;alerte n&apos;a pas été envoyée à tous les destinataires : la liste ci-dessus indique pourquoi.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="267"/>
        <source>Not every recipient confirmed the alert. It may not have arrived: the program there may have ended, or the computer left the network.</source>
        <translation>Tous les destinataires n&apos;ont pas confirmé l&apos;alerte. Elle n&apos;est peut-être pas arrivée : le programme a pu être fermé là-bas, ou l&apos;ordinateur a quitté le réseau.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmCom.cpp" line="278"/>
        <source>The alert waits, encrypted, on this computer for %1 and goes when they come on the network. Right-click a waiting row to take it back.</source>
        <translation>L&apos;alerte attend, chiffrée, sur cet ordinateur pour %1 et partira dès leur arrivée sur le réseau. Cliquez avec le bouton droit sur une ligne en attente pour la retirer.</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Barre d’outils</translation>
    </message>
    <message>
        <source>Recipient</source>
        <translation>Destinataire</translation>
    </message>
    <message>
        <source>Key</source>
        <translation>Clé</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmHistory</name>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="220"/>
        <source>History - Lanyx</source>
        <translation>Historique - Lanyx</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="221"/>
        <source>&amp;Search:</source>
        <translation>&amp;Rechercher :</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="222"/>
        <source>words, &quot;a phrase&quot;, this OR that, -without</source>
        <translation>mots, &quot;une expression&quot;, ceci OR cela, -sans</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="223"/>
        <source>Search the history</source>
        <translation>Rechercher dans l&apos;historique</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="225"/>
        <source>All words must match; &quot;a phrase&quot; matches these words together; a OR b matches either; -word leaves out what has it.</source>
        <translation>Tous les mots doivent correspondre ; &quot;une expression&quot; trouve ces mots ensemble ; a OR b trouve l&apos;un ou l&apos;autre ; -mot exclut ce qui le contient.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="227"/>
        <source>Conversation</source>
        <translation>Conversation</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="227"/>
        <source>Last</source>
        <translation>Dernier</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="228"/>
        <source>Conversations</source>
        <translation>Conversations</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="229"/>
        <source>When</source>
        <translation>Quand</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="229"/>
        <source>Who</source>
        <translation>Qui</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="229"/>
        <source>Message</source>
        <translation>Message</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="230"/>
        <source>Messages</source>
        <translation>Messages</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="231"/>
        <source>The lines around the selected message</source>
        <translation>Les lignes autour du message sélectionné</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="232"/>
        <source>&amp;Go to Conversation</source>
        <translation>&amp;Aller à la conversation</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="233"/>
        <source>Go to the conversation of the selected message</source>
        <translation>Aller à la conversation du message sélectionné</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="234"/>
        <source>&amp;Export...</source>
        <translation>&amp;Exporter...</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="235"/>
        <source>Export the selected messages</source>
        <translation>Exporter les messages sélectionnés</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="236"/>
        <source>&amp;Delete Conversation</source>
        <translation>&amp;Supprimer la conversation</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="237"/>
        <source>Delete this conversation</source>
        <translation>Supprimer cette conversation</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="238"/>
        <source>Delete &amp;All</source>
        <translation>Supprimer &amp;tout</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="239"/>
        <source>Delete the whole history</source>
        <translation>Supprimer tout l&apos;historique</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="240"/>
        <source>Status</source>
        <translation>État</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="241"/>
        <location filename="../../../chat/ui/frmHistory.cpp" line="264"/>
        <source>All messages</source>
        <translation>Tous les messages</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/frmHistory.cpp" line="273"/>
        <location filename="../../../chat/ui/frmHistory.cpp" line="331"/>
        <source>%n message(s)</source>
        <translation>
            <numerusform>%n message</numerusform>
            <numerusform>%n messages</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="331"/>
        <source>The history cannot be read.</source>
        <translation>L&apos;historique ne peut pas être lu.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="345"/>
        <source>Type a word to search for.</source>
        <translation>Saisissez un mot à rechercher.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="365"/>
        <source>Nothing found.</source>
        <translation>Aucun résultat.</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/frmHistory.cpp" line="366"/>
        <source>%n found</source>
        <translation>
            <numerusform>%n résultat</numerusform>
            <numerusform>%n résultats</numerusform>
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
        <translation> (les plus récents)</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/frmHistory.cpp" line="474"/>
        <source>%n message(s) exported</source>
        <translation>
            <numerusform>%n message exporté</numerusform>
            <numerusform>%n messages exportés</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="487"/>
        <source>Delete every message kept of the conversation &quot;%1&quot;? This cannot be undone.</source>
        <translation>Supprimer tous les messages conservés de la conversation « %1 » ? Cette action est irréversible.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="490"/>
        <location filename="../../../chat/ui/frmHistory.cpp" line="505"/>
        <source>Deleting...</source>
        <translation>Suppression...</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="493"/>
        <source>Deleted.</source>
        <translation>Supprimé.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="502"/>
        <source>Delete the whole history, every message of every conversation? This cannot be undone.</source>
        <translation>Supprimer tout l&apos;historique, chaque message de chaque conversation ? Cette action est irréversible.</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/frmHistory.cpp" line="62"/>
        <source>%n more line(s) from %1 not kept</source>
        <translation>
            <numerusform>%n ligne de plus de %1 non conservée</numerusform>
            <numerusform>%n lignes de plus de %1 non conservées</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmHistory.cpp" line="63"/>
        <source>other senders</source>
        <translation>autres expéditeurs</translation>
    </message>
    <message>
        <source>sent</source>
        <translation>envoyé</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>en attente</translation>
    </message>
    <message>
        <source>delivered</source>
        <translation>distribué</translation>
    </message>
    <message>
        <source>not confirmed</source>
        <translation>non confirmé</translation>
    </message>
    <message>
        <source>queued</source>
        <translation>en attente d&apos;envoi</translation>
    </message>
    <message>
        <source>expired</source>
        <translation>expiré</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>annulé</translation>
    </message>
    <message>
        <source>(alert)</source>
        <translation>(alerte)</translation>
    </message>
    <message>
        <source>(message box)</source>
        <translation>(boîte de message)</translation>
    </message>
    <message>
        <source>(file sent)</source>
        <translation>(fichier envoyé)</translation>
    </message>
    <message>
        <source>(file received)</source>
        <translation>(fichier reçu)</translation>
    </message>
    <message>
        <source>(picture)</source>
        <translation>(image)</translation>
    </message>
    <message>
        <source>(transfer declined)</source>
        <translation>(transfert refusé)</translation>
    </message>
    <message>
        <source>(transfer cancelled)</source>
        <translation>(transfert annulé)</translation>
    </message>
    <message>
        <source>(transfer failed)</source>
        <translation>(transfert échoué)</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 fichier</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 fichiers</translation>
    </message>
    <message>
        <source>1 byte</source>
        <translation>1 octet</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 octets</translation>
    </message>
    <message>
        <source>%1: everybody</source>
        <translation>%1 : tout le monde</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmMain</name>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="392"/>
        <source>More</source>
        <translation>Plus</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="182"/>
        <source>Drop files onto a user.</source>
        <translation>Déposez les fichiers sur un utilisateur.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="259"/>
        <location filename="../../../chat/ui/frmMain.cpp" line="371"/>
        <source>&amp;History...</source>
        <translation>&amp;Historique...</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="366"/>
        <source>&amp;Refresh</source>
        <translation>&amp;Actualiser</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="367"/>
        <source>Everybody on the network announces himself again</source>
        <translation>Tout le monde sur le réseau s&apos;annonce à nouveau</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="368"/>
        <location filename="../../../chat/ui/frmMain.cpp" line="369"/>
        <source>&amp;Transfers</source>
        <translation>&amp;Transferts</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="372"/>
        <source>Search the messages kept</source>
        <translation>Rechercher dans les messages conservés</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="374"/>
        <source>User &amp;information...</source>
        <translation>&amp;Informations sur l&apos;utilisateur...</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="379"/>
        <source>Users</source>
        <translation>Utilisateurs</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="381"/>
        <source>Everybody present, then your groups. Enter sends an alert; the Menu key or Shift+F10 opens the user&apos;s menu</source>
        <translation>Toutes les personnes présentes, puis vos groupes. Entrée envoie une alerte ; la touche Menu ou Maj+F10 ouvre le menu de l&apos;utilisateur</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="383"/>
        <source>Status line</source>
        <translation>Ligne d&apos;état</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="384"/>
        <source>Toolbar</source>
        <translation>Barre d&apos;outils</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="725"/>
        <source>&amp;Unblock</source>
        <translation>&amp;Débloquer</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmMain.cpp" line="737"/>
        <source>History with %1</source>
        <translation>Historique avec %1</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Utilisateur</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>État</translation>
    </message>
    <message>
        <source>&amp;Users</source>
        <translation>&amp;Utilisateurs</translation>
    </message>
    <message>
        <source>C&amp;onversations</source>
        <translation>C&amp;onversations</translation>
    </message>
    <message>
        <source>Your chats and the people you wrote with, newest first; known users who are away, greyed</source>
        <translation>Vos discussions et les personnes avec qui vous avez écrit, les plus récentes d'abord ; les utilisateurs connus absents, en gris</translation>
    </message>
    <message>
        <source>Lanyx stays in the notification area of the task bar when this window is minimised or hidden: its icon there brings the window back, and its menu has everything else.</source>
        <translation>Lanyx reste dans la zone de notification de la barre des tâches quand cette fenêtre est réduite ou masquée : son icône y fait revenir la fenêtre, et son menu offre tout le reste.</translation>
    </message>
    <message>
        <source>This desktop shows no notification area: Lanyx keeps this window; minimised, it waits in the task bar.</source>
        <translation>Ce bureau n&apos;affiche pas de zone de notification : Lanyx garde cette fenêtre ; réduite, elle attend dans la barre des tâches.</translation>
    </message>
    <message>
        <source>Welcome to Lanyx. The others on the network see you as &quot;%1&quot;; %2 changes the name and its colour.</source>
        <translation>Bienvenue dans Lanyx. Les autres sur le réseau vous voient sous le nom « %1 » ; %2 change le nom et sa couleur.</translation>
    </message>
    <message>
        <source>Close this note</source>
        <translation>Fermer cette note</translation>
    </message>
    <message>
        <source>Welcome</source>
        <translation>Bienvenue</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmOffer</name>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="59"/>
        <source>Save the files in</source>
        <translation>Enregistrer les fichiers dans</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="117"/>
        <source>Files from %1 - Lanyx</source>
        <translation>Fichiers de %1 - Lanyx</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="118"/>
        <source>%1 offers you files.</source>
        <translation>%1 vous propose des fichiers.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="124"/>
        <source>From:</source>
        <translation>De :</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="125"/>
        <source>Files:</source>
        <translation>Fichiers :</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="126"/>
        <source>Size:</source>
        <translation>Taille :</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="127"/>
        <source>Save &amp;in:</source>
        <translation>Enregistrer &amp;dans :</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="128"/>
        <source>&amp;Browse...</source>
        <translation>&amp;Parcourir...</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="129"/>
        <source>&amp;Accept</source>
        <translation>&amp;Accepter</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="130"/>
        <source>&amp;Decline</source>
        <translation>&amp;Refuser</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="146"/>
        <source>Choose the folder the files go into.</source>
        <translation>Choisissez le dossier où iront les fichiers.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmOffer.cpp" line="158"/>
        <source>The offer could not be accepted.</source>
        <translation>L&apos;offre n&apos;a pas pu être acceptée.</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmOpt</name>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="1"/>
        <source>Tell others when I have &amp;seen their lines</source>
        <translation>Indiquer aux autres que j’ai &amp;vu leurs lignes</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="1"/>
        <source>Lanyx copies of the others show "seen" under their line once your chat window showed it</source>
        <translation>Les copies Lanyx des autres affichent « vu » sous leur ligne une fois que votre fenêtre de chat l’a montrée</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="343"/>
        <source>Language/Langage/Sprache/Lenguaje:</source>
        <translation>Language/Langage/Sprache/Lenguaje:</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="512"/>
        <source>&amp;Network</source>
        <translation>&amp;Réseau</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="526"/>
        <source>&amp;Run Lanyx on StartUp</source>
        <translation>&amp;Lancer Lanyx à l&apos;ouverture de session</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="527"/>
        <source>Starts Lanyx when you log in to the desktop</source>
        <translation>Lance Lanyx quand vous ouvrez votre session</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="529"/>
        <source>&amp;Desktop notifications for alerts</source>
        <translation>&amp;Notifications du bureau pour les alertes</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="530"/>
        <source>Alerts go to the desktop&apos;s notification service instead of popups</source>
        <translation>Les alertes passent par le service de notifications du bureau au lieu de fenêtres surgissantes</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="531"/>
        <source>Sound for a chat line in the &amp;background</source>
        <translation>Son pour une ligne de discussion en &amp;arrière-plan</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="532"/>
        <source>&amp;Keep the history of messages for</source>
        <translation>&amp;Conserver l&apos;historique des messages</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="533"/>
        <source>ever</source>
        <translation>pour toujours</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="534"/>
        <location filename="../../../chat/ui/frmOpt.cpp" line="538"/>
        <source> days</source>
        <translation> jours</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="535"/>
        <source>Days the history keeps messages; 0 keeps them for ever</source>
        <translation>Nombre de jours pendant lesquels l&apos;historique conserve les messages ; 0 les conserve pour toujours</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="536"/>
        <source>Older messages are deleted from the history, and their words from its index.</source>
        <translation>Les messages plus anciens sont supprimés de l&apos;historique, et leurs mots de son index.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="537"/>
        <source>A message to someone not on the network &amp;waits for</source>
        <translation>Un message à quelqu&apos;un d&apos;absent du réseau &amp;attend</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="539"/>
        <source>Days a message waits for a recipient who is not on the network</source>
        <translation>Jours pendant lesquels un message attend un destinataire absent du réseau</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="541"/>
        <source>Messages to users whose key is known wait encrypted on this computer and go when the user is seen; after this time they are given up, and you are told.</source>
        <translation>Les messages aux utilisateurs dont la clé est connue attendent, chiffrés, sur cet ordinateur et partent dès que l&apos;utilisateur est vu ; passé ce délai ils sont abandonnés, et vous en êtes averti.</translation>
    </message>
    <message numerus="yes">
        <location filename="../../../chat/ui/frmOpt.cpp" line="788"/>
        <source>Messages older than %n day(s) are deleted from the history now. Go on?</source>
        <translation>
            <numerusform>Les messages de plus de %n jour vont être supprimés de l&apos;historique maintenant. Continuer ?</numerusform>
            <numerusform>Les messages de plus de %n jours vont être supprimés de l&apos;historique maintenant. Continuer ?</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="816"/>
        <source>The destinations could not be saved: %1</source>
        <translation>Les destinations n&apos;ont pas pu être enregistrées : %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmOpt.cpp" line="851"/>
        <source>These destinations are no host name or IPv4 address:
%1</source>
        <translation>Ces destinations ne sont ni des noms d&apos;hôte ni des adresses IPv4 :
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
        <translation>Privée</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="71"/>
        <source>To everyone</source>
        <translation>À tous</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="239"/>
        <source>Menu: reply, chat, block, export</source>
        <translation>Menu : répondre, discuter, bloquer, exporter</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="240"/>
        <source>Menu</source>
        <translation>Menu</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="242"/>
        <source>Alert</source>
        <translation>Alerte</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="243"/>
        <source>Alerts</source>
        <translation>Alertes</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="243"/>
        <source>Alerts from %1</source>
        <translation>Alertes de %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="244"/>
        <source>Newest first, each with its time and whether it was private</source>
        <translation>Les plus récentes d&apos;abord, chacune avec son heure et si elle était privée</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="245"/>
        <location filename="../../../chat/ui/frmPop.cpp" line="349"/>
        <source>%1 older alerts were not kept: too many to keep.</source>
        <translation>%1 alertes plus anciennes n&apos;ont pas été conservées : trop nombreuses.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="282"/>
        <source>(%1 more characters: export or copy the alert to read all of it)</source>
        <translation>(%1 caractères de plus : exportez ou copiez l&apos;alerte pour la lire en entier)</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmPop.cpp" line="500"/>
        <source>%1 could not be written.

%2</source>
        <translation>%1 n&apos;a pas pu être écrit.

%2</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmSave</name>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="94"/>
        <source>Files</source>
        <translation>Fichiers</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="95"/>
        <source>Folders</source>
        <translation>Dossiers</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="96"/>
        <source>Folder</source>
        <translation>Dossier</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="105"/>
        <location filename="../../../chat/ui/frmSave.cpp" line="106"/>
        <location filename="../../../chat/ui/frmSave.cpp" line="128"/>
        <location filename="../../../chat/ui/frmSave.cpp" line="129"/>
        <source>Parent folder</source>
        <translation>Dossier parent</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmSave.cpp" line="147"/>
        <source>68: Device unavailable</source>
        <translation>68 : périphérique indisponible</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmTransfers</name>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="148"/>
        <source>Transfers - Lanyx</source>
        <translation>Transferts - Lanyx</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="149"/>
        <source>No transfers yet. Send files from a user&apos;s menu, or drop them onto a user.</source>
        <translation>Aucun transfert pour l&apos;instant. Envoyez des fichiers depuis le menu d&apos;un utilisateur, ou déposez-les sur un utilisateur.</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="150"/>
        <source>C&amp;lear Finished</source>
        <translation>&amp;Effacer les terminés</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="151"/>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="152"/>
        <source>Transfers</source>
        <translation>Transferts</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="165"/>
        <source>No program here opens folders. The files are in:
%1</source>
        <translation>Aucun programme n&apos;ouvre les dossiers ici. Les fichiers sont dans :
%1</translation>
    </message>
    <message>
        <location filename="../../../chat/transfer/ui/frmTransfers.cpp" line="216"/>
        <source>Left out: %1</source>
        <translation>Laissés de côté : %1</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::frmUserInfo</name>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="115"/>
        <source>Key:</source>
        <translation>Clé :</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="116"/>
        <source>Safety number:</source>
        <translation>Numéro de sécurité :</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="117"/>
        <source>Your fingerprint:</source>
        <translation>Votre empreinte :</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="118"/>
        <source>Known fingerprint:</source>
        <translation>Empreinte connue :</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="119"/>
        <source>Announced now:</source>
        <translation>Annoncée maintenant :</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="120"/>
        <source>&amp;Mark as checked</source>
        <translation>&amp;Marquer comme vérifiée</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="121"/>
        <source>Mark as checked</source>
        <translation>Marquer comme vérifiée</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="122"/>
        <source>Only when the user&apos;s program shows the same safety number</source>
        <translation>Seulement si le programme de l&apos;utilisateur affiche le même numéro de sécurité</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="123"/>
        <source>&amp;Keep the known key</source>
        <translation>&amp;Garder la clé connue</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="124"/>
        <source>Keep the known key</source>
        <translation>Garder la clé connue</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="126"/>
        <source>State of the key</source>
        <translation>État de la clé</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="127"/>
        <source>Safety number</source>
        <translation>Numéro de sécurité</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="128"/>
        <source>Safety number as a QR code</source>
        <translation>Numéro de sécurité sous forme de code QR</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="129"/>
        <source>Your fingerprint</source>
        <translation>Votre empreinte</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="130"/>
        <source>Known fingerprint</source>
        <translation>Empreinte connue</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="131"/>
        <source>Fingerprint announced now</source>
        <translation>Empreinte annoncée maintenant</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="132"/>
        <source>How to check the key</source>
        <translation>Comment vérifier la clé</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="161"/>
        <source>checked as %1, now %2</source>
        <translation>vérifiée comme %1, maintenant %2</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="169"/>
        <source>none: no key is known for %1</source>
        <translation>aucun : aucune clé n&apos;est connue pour %1</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="180"/>
        <source>Compare this number with %1 in person or by phone: %1&apos;s Lanyx shows the same number in the user information on you (and lanyx-cli keys lists it), or scan the QR code. Mark the key as checked only when both numbers are the same.</source>
        <translation>Comparez ce numéro avec %1 en personne ou par téléphone : le Lanyx de %1 affiche le même numéro dans les informations sur l&apos;utilisateur vous concernant (et lanyx-cli keys l&apos;indique aussi), ou scannez le code QR. Ne marquez la clé comme vérifiée que si les deux numéros sont identiques.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="187"/>
        <source>A copy without keys was heard under the name %1, and now a key is announced for it. Somebody may be taking the name: the key is not taken until you check it with %1.</source>
        <translation>Une copie sans clés s&apos;est manifestée sous le nom %1, et une clé est maintenant annoncée pour ce nom. Quelqu&apos;un tente peut-être de s&apos;approprier le nom : la clé n&apos;est pas retenue tant que vous ne l&apos;avez pas vérifiée avec %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="192"/>
        <source>Nothing signed by %1&apos;s key has been heard since %1 was listed: what is listed under the name may not come from %1&apos;s program.</source>
        <translation>Rien de signé par la clé de %1 n&apos;a été reçu depuis que %1 figure dans la liste : ce qui apparaît sous ce nom ne vient peut-être pas du programme de %1.</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="198"/>
        <source>You checked this key when the user was called %1. The safety number covers the names: compare the number shown here with %2 once more, then mark the key as checked.</source>
        <translation>Vous avez vérifié cette clé quand l&apos;utilisateur s&apos;appelait %1. Le numéro de sécurité couvre les noms : comparez encore une fois le numéro affiché ici avec %2, puis marquez la clé comme vérifiée.</translation>
    </message>
    <message>
        <source>&amp;Accept the new key</source>
        <translation type="vanished">&amp;Accepter la nouvelle clé</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="133"/>
        <source>Warning</source>
        <translation>Avertissement</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="146"/>
        <source>this copy has no keys</source>
        <translation>cette copie n&apos;a pas de clés</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="165"/>
        <source>none</source>
        <translation>aucune</translation>
    </message>
    <message>
        <location filename="../../../chat/ui/frmUserInfo.cpp" line="166"/>
        <source>nothing heard</source>
        <translation>rien reçu</translation>
    </message>
</context>
<context>
    <name>lanyx::ui::ConversationsPane</name>
    <message>
        <location filename="../../../chat/history/ui/ConversationsPane.cpp" line="110"/>
        <source>seen %1</source>
        <translation>vu %1</translation>
    </message>
    <message>
        <source>Conversations</source>
        <translation>Conversations</translation>
    </message>
    <message>
        <source>Conversation</source>
        <translation>Conversation</translation>
    </message>
    <message>
        <source>Last line</source>
        <translation>Dernière ligne</translation>
    </message>
    <message>
        <source>When</source>
        <translation>Quand</translation>
    </message>
    <message>
        <source>Everybody</source>
        <translation>Tout le monde</translation>
    </message>
    <message>
        <source>you</source>
        <translation>vous</translation>
    </message>
    <message>
        <source>away: what you write waits for %1</source>
        <translation>absent : ce que vous écrivez attend %1</translation>
    </message>
    <message>
        <source>%1 is away: what you write waits for %1</source>
        <translation>%1 est absent : ce que vous écrivez attend %1</translation>
    </message>
</context>
<context>
    <name>UserList</name>
    <message>
        <source>(All)</source>
        <translation>(Tous)</translation>
    </message>
</context>
<context>
    <name>lanyx::pictures::ui::ChatPictures</name>
    <message>
        <source>Send &amp;Picture...</source>
        <translation>Envoyer une &amp;image...</translation>
    </message>
    <message>
        <source>Picture sent.</source>
        <translation>Image envoyée.</translation>
    </message>
    <message>
        <source>The picture is larger than 10 MiB.</source>
        <translation>L'image dépasse 10 Mio.</translation>
    </message>
    <message>
        <source>This picture cannot be sent (PNG, JPEG, GIF or WebP).</source>
        <translation>Cette image ne peut pas être envoyée (PNG, JPEG, GIF ou WebP).</translation>
    </message>
    <message>
        <source>Nobody in this chat takes pictures.</source>
        <translation>Personne dans cette discussion n'accepte d'images.</translation>
    </message>
    <message>
        <source>Send Picture</source>
        <translation>Envoyer une image</translation>
    </message>
    <message>
        <source>Pictures (*.png *.jpg *.jpeg *.gif *.webp)</source>
        <translation>Images (*.png *.jpg *.jpeg *.gif *.webp)</translation>
    </message>
    <message>
        <source>%1 sent a picture:</source>
        <translation>%1 a envoyé une image :</translation>
    </message>
</context>
<context>
    <name>lanyx::verbs::ui::LineView</name>
    <message>
        <source>message deleted</source>
        <translation>message supprimé</translation>
    </message>
    <message>
        <source>(edited)</source>
        <translation>(modifié)</translation>
    </message>
    <message>
        <source>&amp;Reply</source>
        <translation>&amp;Répondre</translation>
    </message>
    <message>
        <source>Re&amp;act</source>
        <translation>Ré&amp;agir</translation>
    </message>
    <message>
        <source>&amp;Edit...</source>
        <translation>&amp;Modifier...</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Supprimer</translation>
    </message>
    <message>
        <source>Delete message</source>
        <translation>Supprimer le message</translation>
    </message>
    <message>
        <source>Delete this message for everybody in the conversation?</source>
        <translation>Supprimer ce message pour tous les participants de la conversation ?</translation>
    </message>
</context>
<context>
    <name>lanyx::verbs::ui::ComposeBar</name>
    <message>
        <source>Stop answering or editing</source>
        <translation>Arrêter de répondre ou de modifier</translation>
    </message>
    <message>
        <source>Answering %1: %2</source>
        <translation>Réponse à %1 : %2</translation>
    </message>
    <message>
        <source>Editing your line: Enter puts the new words in its place</source>
        <translation>Modification de votre ligne : Entrée met le nouveau texte à sa place</translation>
    </message>
</context>
</TS>

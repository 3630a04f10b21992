#include "launcher/texts.h"

// InstanceTitleText and DialogTitleText must stay equal in every language: a
// second launcher finds the first one's window by this title.
const MessageRow InstanceTitleText[] = {
    {0x0409, u"Autorun"},
    {0x0404, u"自動執行"},
    {0x0406, u"Autorun"},
    {0x0407, u"Autorun"},
    {0x0408, u"Αυτόματη εκτέλεση"},
    {0x0410, u"Esecuzione automatica"},
    {0x0411, u"自動実行"},
    {0x0412, u"자동 실행"},
    {0x0413, u"Autorun"},
    {0x0414, u"Autokjør"},
    {0x0416, u"Execução automática"},
    {0x0419, u"Автозапуск"},
    {0x041D, u"Autorun"},
    {0x041F, u"Autorun"},
    {0x040B, u"Automaattinen käynnistys"},
    {0x040C, u"Exécution automatique"},
    {0x0804, u"自动运行"},
    {0x0816, u"Execução automática"},
    {0x0C0A, u"Ejecución automática"},
    {0x0405, u"Automatické spuštění"},
    {0x040E, u"Automatikus futtatás"},
    {0x0415, u"Autouruchamianie"},
    {0, nullptr},
};

const MessageRow DialogTitleText[] = {
    {0x0409, u"Autorun"},
    {0x0404, u"自動執行"},
    {0x0406, u"Autorun"},
    {0x0407, u"Autorun"},
    {0x0408, u"Αυτόματη εκτέλεση"},
    {0x0410, u"Esecuzione automatica"},
    {0x0411, u"自動実行"},
    {0x0412, u"자동 실행"},
    {0x0413, u"Autorun"},
    {0x0414, u"Autokjør"},
    {0x0416, u"Execução automática"},
    {0x0419, u"Автозапуск"},
    {0x041D, u"Autorun"},
    {0x041F, u"Autorun"},
    {0x040B, u"Automaattinen käynnistys"},
    {0x040C, u"Exécution automatique"},
    {0x0804, u"自动运行"},
    {0x0816, u"Execução automática"},
    {0x0C0A, u"Ejecución automática"},
    {0x0405, u"Automatické spuštění"},
    {0x040E, u"Automatikus futtatás"},
    {0x0415, u"Autouruchamianie"},
    {0, nullptr},
};

const MessageRow BrowserWidthText[] = {
    {0x0409, u"670"}, {0x0404, u"670"}, {0x0406, u"670"}, {0x0407, u"670"}, {0x0408, u"670"},
    {0x0410, u"670"}, {0x0411, u"670"}, {0x0412, u"670"}, {0x0413, u"670"}, {0x0414, u"670"},
    {0x0416, u"670"}, {0x0419, u"670"}, {0x041D, u"670"}, {0x041F, u"670"}, {0x040B, u"670"},
    {0x040C, u"670"}, {0x0804, u"670"}, {0x0816, u"670"}, {0x0C0A, u"670"}, {0x0405, u"670"},
    {0x040E, u"670"}, {0x0415, u"670"}, {0, nullptr},
};

const MessageRow BrowserHeightText[] = {
    {0x0409, u"490"}, {0x0404, u"490"}, {0x0406, u"490"}, {0x0407, u"490"}, {0x0408, u"490"},
    {0x0410, u"490"}, {0x0411, u"490"}, {0x0412, u"490"}, {0x0413, u"490"}, {0x0414, u"490"},
    {0x0416, u"490"}, {0x0419, u"490"}, {0x041D, u"490"}, {0x041F, u"490"}, {0x040B, u"490"},
    {0x040C, u"490"}, {0x0804, u"490"}, {0x0816, u"490"}, {0x0C0A, u"490"}, {0x0405, u"490"},
    {0x040E, u"490"}, {0x0415, u"490"}, {0, nullptr},
};

const MessageRow InitFailedText[] = {
    {0x0409, u"Failed to initialize the application."},
    {0x0404, u"無法初始化應用程式。"},
    {0x0406, u"Programmet blev ikke initialiseret."},
    {0x0407, u"Die Anwendung wurde nicht initialisiert."},
    {0x0408, u"Η προετοιμασία της εφαρμογής απέτυχε."},
    {0x0410, u"Inizializzazione dell'applicazione non riuscita."},
    {0x0411, u"アプリケーションを初期化できませんでした。"},
    {0x0412, u"응용 프로그램을 초기화할 수 없습니다."},
    {0x0413, u"Initialiseren van de toepassing mislukt."},
    {0x0414, u"Kan ikke starte programmet."},
    {0x0416, u"Falha ao inicializar o aplicativo."},
    {0x0419, u"Не удалось инициализировать приложение."},
    {0x041D, u"Initialiseringen av programmet misslyckades."},
    {0x041F, u"Uygulama başlatılamadı."},
    {0x040B, u"Sovelluksen alustus epäonnistui."},
    {0x040C, u"Échec de l'initialisation de l'application."},
    {0x0804, u"无法初始化应用程序。"},
    {0x0816, u"Ocorreu uma falha ao inicializar a aplicação."},
    {0x0C0A, u"Fallo al inicializar la aplicación."},
    {0x0405, u"Failed to initialize the application."},
    {0x040E, u"Failed to initialize the application."},
    {0x0415, u"Failed to initialize the application."},
    {0, nullptr},
};

const MessageRow TemplateSyntaxText[] = {
    {0x0409, u"Syntax error in the HTML template."},
    {0x0404, u"HTML 範本中語法錯誤。"},
    {0x0406, u"Syntaksfejl i HTML-skabelonen."},
    {0x0407, u"Syntaxfehler in der HTML-Vorlage"},
    {0x0408, u"Σφάλμα σύνταξης στο πρότυπο HTML."},
    {0x0410, u"Errore di sintassi nel modello HTML."},
    {0x0411, u"HTMLテンプレートの構文エラー"},
    {0x0412, u"HTML 템플릿에 구문 오류가 있습니다."},
    {0x0413, u"De HTML-sjabloon bevat een syntaxisfout."},
    {0x0414, u"Syntaksfeil i HTML-malen."},
    {0x0416, u"Erro de sintaxe no modelo HTML."},
    {0x0419, u"Синтаксическая ошибка в шаблоне HTML."},
    {0x041D, u"Syntaxfel i HTML-mallen."},
    {0x041F, u"HTML şablonunda sözdizimi hatası."},
    {0x040B, u"Syntaksivirhe HTML-mallissa."},
    {0x040C, u"Erreur de syntaxe dans le modèle HTML."},
    {0x0804, u"HTML 模板中语法错误。"},
    {0x0816, u"Erro de sintaxe no modelo HTML."},
    {0x0C0A, u"Error de sintaxis en la plantilla HTML."},
    {0x0405, u"Syntax error in the HTML template."},
    {0x040E, u"Syntax error in the HTML template."},
    {0x0415, u"Syntax error in the HTML template."},
    {0, nullptr},
};

const MessageRow DataFormatText[] = {
    {0x0409, u"Incorrect format in XML data file."},
    {0x0404, u"XML 資料檔案中格式錯誤。"},
    {0x0406, u"Ugyldigt format i XML-datafilen."},
    {0x0407, u"Falsches Format in der XML-Datendatei"},
    {0x0408, u"Εσφαλμένη μορφή στο αρχείο δεδομένων XML."},
    {0x0410, u"Formato non valido in file dati XML."},
    {0x0411, u"XMLデータファイルのフォーマットが正しくありません。"},
    {0x0412, u"XML 데이터 파일의 형식이 올바르지 않습니다."},
    {0x0413, u"Onjuiste indeling in XML-gegevensbestand."},
    {0x0414, u"Feil format i XML-datafil."},
    {0x0416, u"Formato incorreto no arquivo de dados XML."},
    {0x0419, u"Неправильный формат файла данных XML."},
    {0x041D, u"Felaktigt format i XML-datafilen."},
    {0x041F, u"XML veri dosyasında hatalı biçim."},
    {0x040B, u"Väärä muoto XML-datatiedostossa."},
    {0x040C, u"Format incorrect dans le fichier de données XML."},
    {0x0804, u"XML 数据文件中格式不正确。"},
    {0x0816, u"Formato incorrecto no ficheiro de dados XML."},
    {0x0C0A, u"Formato incorrecto en el archivo de datos XML."},
    {0x0405, u"Incorrect format in XML data file."},
    {0x040E, u"Incorrect format in XML data file."},
    {0x0415, u"Incorrect format in XML data file."},
    {0, nullptr},
};

const MessageRow LanguageFormatText[] = {
    {0x0409, u"Incorrect format in XML language file."},
    {0x0404, u"XML 語言檔案中格式錯誤。"},
    {0x0406, u"Ugyldigt format i XML-sprogfilen."},
    {0x0407, u"Falsches Format in der XML-Datei"},
    {0x0408, u"Εσφαλμένη μορφή στο αρχείο γλώσσας XML."},
    {0x0410, u"Formato non valido in file lingua XML."},
    {0x0411, u"XML言語ファイルのフォーマットが正しくありません。"},
    {0x0412, u"XML 언어 파일의 형식이 올바르지 않습니다."},
    {0x0413, u"Onjuiste indeling in XML-taalbestand."},
    {0x0414, u"Feil format i XML-språkfil."},
    {0x0416, u"Formato incorreto no arquivo da linguagem XML."},
    {0x0419, u"Неправильный формат файла языковой поддержки XML."},
    {0x041D, u"Felaktigt format i XML-språkfilen."},
    {0x041F, u"XML dil dosyasında hatalı biçim."},
    {0x040B, u"Väärä muoto XML-kielitiedostossa."},
    {0x040C, u"Format incorrect dans le fichier de langage XML."},
    {0x0804, u"XML 语言文件中格式不正确。"},
    {0x0816, u"Formato incorrecto no ficheiro da linguagem XML."},
    {0x0C0A, u"Formato incorrecto en el archivo de lenguaje XML."},
    {0x0405, u"Incorrect format in XML language file."},
    {0x040E, u"Incorrect format in XML language file."},
    {0x0415, u"Incorrect format in XML language file."},
    {0, nullptr},
};

// Names the package that brings the web engine, on the distributions that
// package it under another name too.
const MessageRow WebEngineMissingText[] = {
    {0x0409,
     u"The web engine WebKitGTK 4.1 is not installed. Install the package "
     u"libwebkit2gtk-4.1-0 (Fedora: webkit2gtk4.1)."},
    {0x0404,
     u"未安裝網頁引擎 WebKitGTK 4.1。請安裝套件 libwebkit2gtk-4.1-0"
     u"（Fedora：webkit2gtk4.1）。"},
    {0x0406,
     u"Webmotoren WebKitGTK 4.1 er ikke installeret. Installer pakken "
     u"libwebkit2gtk-4.1-0 (Fedora: webkit2gtk4.1)."},
    {0x0407,
     u"Die Web-Engine WebKitGTK 4.1 ist nicht installiert. Installieren Sie das Paket "
     u"libwebkit2gtk-4.1-0 (Fedora: webkit2gtk4.1)."},
    {0x0408,
     u"Η μηχανή ιστού WebKitGTK 4.1 δεν είναι εγκατεστημένη. Εγκαταστήστε το πακέτο "
     u"libwebkit2gtk-4.1-0 (Fedora: webkit2gtk4.1)."},
    {0x0410,
     u"Il motore web WebKitGTK 4.1 non è installato. Installare il pacchetto "
     u"libwebkit2gtk-4.1-0 (Fedora: webkit2gtk4.1)."},
    {0x0411,
     u"Web エンジン WebKitGTK 4.1 がインストールされていません。パッケージ "
     u"libwebkit2gtk-4.1-0 (Fedora: webkit2gtk4.1) をインストールしてください。"},
    {0x0412,
     u"웹 엔진 WebKitGTK 4.1이 설치되어 있지 않습니다. libwebkit2gtk-4.1-0 "
     u"패키지(Fedora: webkit2gtk4.1)를 설치하십시오."},
    {0x0413,
     u"De webengine WebKitGTK 4.1 is niet geïnstalleerd. Installeer het pakket "
     u"libwebkit2gtk-4.1-0 (Fedora: webkit2gtk4.1)."},
    {0x0414,
     u"Nettmotoren WebKitGTK 4.1 er ikke installert. Installer pakken "
     u"libwebkit2gtk-4.1-0 (Fedora: webkit2gtk4.1)."},
    {0x0416,
     u"O mecanismo web WebKitGTK 4.1 não está instalado. Instale o pacote "
     u"libwebkit2gtk-4.1-0 (Fedora: webkit2gtk4.1)."},
    {0x0419,
     u"Веб-движок WebKitGTK 4.1 не установлен. Установите пакет "
     u"libwebkit2gtk-4.1-0 (Fedora: webkit2gtk4.1)."},
    {0x041D,
     u"Webbmotorn WebKitGTK 4.1 är inte installerad. Installera paketet "
     u"libwebkit2gtk-4.1-0 (Fedora: webkit2gtk4.1)."},
    {0x041F,
     u"WebKitGTK 4.1 web motoru yüklü değil. libwebkit2gtk-4.1-0 paketini yükleyin "
     u"(Fedora: webkit2gtk4.1)."},
    {0x040B,
     u"Verkkomoottoria WebKitGTK 4.1 ei ole asennettu. Asenna paketti "
     u"libwebkit2gtk-4.1-0 (Fedora: webkit2gtk4.1)."},
    {0x040C,
     u"Le moteur web WebKitGTK 4.1 n'est pas installé. Installez le paquet "
     u"libwebkit2gtk-4.1-0 (Fedora : webkit2gtk4.1)."},
    {0x0804,
     u"未安装网页引擎 WebKitGTK 4.1。请安装软件包 libwebkit2gtk-4.1-0"
     u"（Fedora：webkit2gtk4.1）。"},
    {0x0816,
     u"O motor web WebKitGTK 4.1 não está instalado. Instale o pacote "
     u"libwebkit2gtk-4.1-0 (Fedora: webkit2gtk4.1)."},
    {0x0C0A,
     u"El motor web WebKitGTK 4.1 no está instalado. Instale el paquete "
     u"libwebkit2gtk-4.1-0 (Fedora: webkit2gtk4.1)."},
    {0x0405,
     u"Webové jádro WebKitGTK 4.1 není nainstalováno. Nainstalujte balíček "
     u"libwebkit2gtk-4.1-0 (Fedora: webkit2gtk4.1)."},
    {0x040E,
     u"A WebKitGTK 4.1 webmotor nincs telepítve. Telepítse a libwebkit2gtk-4.1-0 "
     u"csomagot (Fedora: webkit2gtk4.1)."},
    {0x0415,
     u"Silnik WWW WebKitGTK 4.1 nie jest zainstalowany. Zainstaluj pakiet "
     u"libwebkit2gtk-4.1-0 (Fedora: webkit2gtk4.1)."},
    {0, nullptr},
};

const MessageRow WebEngineTooOldText[] = {
    {0x0409,
     u"The web engine WebKitGTK on this system is version %1; the menu needs %2 or newer. Update "
     u"the package libwebkit2gtk-4.1-0 or libwebkit2gtk-4.0-37 (Fedora: webkit2gtk4.1)."},
    {0x0404,
     u"此系統上的網頁引擎 WebKitGTK 版本為 %1；功能表需要 %2 或更新版本。請更新套件 "
     u"libwebkit2gtk-4.1-0 或 libwebkit2gtk-4.0-37（Fedora：webkit2gtk4.1）。"},
    {0x0406,
     u"Webmotoren WebKitGTK på dette system har version %1; menuen kræver %2 eller nyere. Opdater "
     u"pakken libwebkit2gtk-4.1-0 eller libwebkit2gtk-4.0-37 (Fedora: webkit2gtk4.1)."},
    {0x0407,
     u"Die Web-Engine WebKitGTK auf diesem System hat die Version %1; das Menü benötigt %2 oder "
     u"neuer. Aktualisieren Sie das Paket libwebkit2gtk-4.1-0 oder libwebkit2gtk-4.0-37 (Fedora: "
     u"webkit2gtk4.1)."},
    {0x0408,
     u"Η μηχανή ιστού WebKitGTK σε αυτό το σύστημα έχει την έκδοση %1· το μενού χρειάζεται την %2 "
     u"ή νεότερη. Ενημερώστε το πακέτο libwebkit2gtk-4.1-0 ή libwebkit2gtk-4.0-37 (Fedora: "
     u"webkit2gtk4.1)."},
    {0x0410,
     u"Il motore web WebKitGTK di questo sistema è alla versione %1; il menu richiede la %2 o "
     u"successiva. Aggiornare il pacchetto libwebkit2gtk-4.1-0 o libwebkit2gtk-4.0-37 (Fedora: "
     u"webkit2gtk4.1)."},
    {0x0411,
     u"このシステムの Web エンジン WebKitGTK はバージョン %1 です。メニューには %2 "
     u"以降が必要です。パッケージ libwebkit2gtk-4.1-0 または libwebkit2gtk-4.0-37 (Fedora: "
     u"webkit2gtk4.1) を更新してください。"},
    {0x0412,
     u"이 시스템의 웹 엔진 WebKitGTK 버전은 %1입니다. 메뉴에는 %2 이상이 필요합니다. "
     u"libwebkit2gtk-4.1-0 또는 libwebkit2gtk-4.0-37 패키지(Fedora: webkit2gtk4.1)를 "
     u"업데이트하십시오."},
    {0x0413,
     u"De webengine WebKitGTK op dit systeem heeft versie %1; het menu heeft %2 of nieuwer nodig. "
     u"Werk het pakket libwebkit2gtk-4.1-0 of libwebkit2gtk-4.0-37 bij (Fedora: webkit2gtk4.1)."},
    {0x0414,
     u"Nettmotoren WebKitGTK på dette systemet har versjon %1; menyen krever %2 eller nyere. "
     u"Oppdater pakken libwebkit2gtk-4.1-0 eller libwebkit2gtk-4.0-37 (Fedora: webkit2gtk4.1)."},
    {0x0416,
     u"O mecanismo web WebKitGTK deste sistema está na versão %1; o menu precisa da %2 ou mais "
     u"recente. Atualize o pacote libwebkit2gtk-4.1-0 ou libwebkit2gtk-4.0-37 (Fedora: "
     u"webkit2gtk4.1)."},
    {0x0419,
     u"Веб-движок WebKitGTK в этой системе имеет версию %1; для меню нужна версия %2 или новее. "
     u"Обновите пакет libwebkit2gtk-4.1-0 или libwebkit2gtk-4.0-37 (Fedora: webkit2gtk4.1)."},
    {0x041D,
     u"Webbmotorn WebKitGTK på det här systemet har version %1; menyn kräver %2 eller senare. "
     u"Uppdatera paketet libwebkit2gtk-4.1-0 eller libwebkit2gtk-4.0-37 (Fedora: webkit2gtk4.1)."},
    {0x041F,
     u"Bu sistemdeki WebKitGTK web motorunun sürümü %1; menü %2 veya daha yeni bir sürüm "
     u"gerektirir. libwebkit2gtk-4.1-0 veya libwebkit2gtk-4.0-37 paketini güncelleyin (Fedora: "
     u"webkit2gtk4.1)."},
    {0x040B,
     u"Tämän järjestelmän verkkomoottori WebKitGTK on versiota %1; valikko tarvitsee version %2 "
     u"tai uudemman. Päivitä paketti libwebkit2gtk-4.1-0 tai libwebkit2gtk-4.0-37 (Fedora: "
     u"webkit2gtk4.1)."},
    {0x040C,
     u"Le moteur web WebKitGTK de ce système est en version %1 ; le menu nécessite la version %2 "
     u"ou plus récente. Mettez à jour le paquet libwebkit2gtk-4.1-0 ou libwebkit2gtk-4.0-37 "
     u"(Fedora : webkit2gtk4.1)."},
    {0x0804,
     u"此系统上的网页引擎 WebKitGTK 版本为 %1；菜单需要 %2 或更高版本。请更新软件包 "
     u"libwebkit2gtk-4.1-0 或 libwebkit2gtk-4.0-37（Fedora：webkit2gtk4.1）。"},
    {0x0816,
     u"O motor web WebKitGTK deste sistema está na versão %1; o menu precisa da %2 ou mais "
     u"recente. Atualize o pacote libwebkit2gtk-4.1-0 ou libwebkit2gtk-4.0-37 (Fedora: "
     u"webkit2gtk4.1)."},
    {0x0C0A,
     u"El motor web WebKitGTK de este sistema es la versión %1; el menú necesita la %2 o "
     u"posterior. Actualice el paquete libwebkit2gtk-4.1-0 o libwebkit2gtk-4.0-37 (Fedora: "
     u"webkit2gtk4.1)."},
    {0x0405,
     u"Webové jádro WebKitGTK v tomto systému má verzi %1; nabídka vyžaduje %2 nebo novější. "
     u"Aktualizujte balíček libwebkit2gtk-4.1-0 nebo libwebkit2gtk-4.0-37 (Fedora: "
     u"webkit2gtk4.1)."},
    {0x040E,
     u"A rendszer WebKitGTK webmotorja %1 verziójú; a menühöz %2 vagy újabb szükséges. Frissítse a "
     u"libwebkit2gtk-4.1-0 vagy a libwebkit2gtk-4.0-37 csomagot (Fedora: webkit2gtk4.1)."},
    {0x0415,
     u"Silnik WWW WebKitGTK w tym systemie ma wersję %1; menu wymaga wersji %2 lub nowszej. "
     u"Zaktualizuj pakiet libwebkit2gtk-4.1-0 lub libwebkit2gtk-4.0-37 (Fedora: webkit2gtk4.1)."},
    {0, nullptr},
};

#include "error/messages.h"

#include <atomic>

#include "base/locale.h"
#include "base/platform.h"

namespace {
std::atomic<LanguageHook> g_language_hook{nullptr};
}

LanguageHook InstallLanguageHook(LanguageHook hook) {
    return g_language_hook.exchange(hook, std::memory_order_acq_rel);
}

uint32_t CurrentLanguageId() {
    Base::LastErrorKeeper keep_last_error;
    if (LanguageHook hook = g_language_hook.load(std::memory_order_acquire)) {
        return hook();
    }
    return Base::UserDefaultLangId();
}

const char16_t* LocalizedText(const MessageRow* table) {
    uint32_t language = CurrentLanguageId() & 0xFFFF;
    for (const MessageRow* row = table; row->text; ++row) {
        if (row->language == language) {
            return row->text;
        }
    }
    return table[0].text;
}

const MessageRow BadFormatText[] = {
    {0x0409, u"The data have incorrect format."},
    {0x0404, u"資料格式不正確。"},
    {0x0406, u"Dataene har et ugyldigt format."},
    {0x0407, u"Falsches Datenformat."},
    {0x0408, u"Τα δεδομένα έχουν εσφαλμένη μορφή."},
    {0x0410, u"Formato della data non corretto."},
    {0x0411, u"データの形式が正しくありません。"},
    {0x0412, u"데이터 형식이 잘못되었습니다."},
    {0x0413, u"De gegevens hebben een onjuiste indeling."},
    {0x0414, u"Dataene har feil format."},
    {0x0416, u"Os dados têm formato incorreto."},
    {0x0419, u"Неправильный формат данных."},
    {0x041D, u"Felaktigt format för data."},
    {0x041F, u"Veri biçimi hatalı."},
    {0x040B, u"Tietojen muoto on väärä."},
    {0x040C, u"Les données ont un format incorrect."},
    {0x0804, u"数据包含错误的格式。"},
    {0x0816, u"Os dados têm um formato incorrecto."},
    {0x0C0A, u"Formato incorrecto de los datos."},
    {0, nullptr},
};

const MessageRow InternalErrorText[] = {
    {0x0409, u"An internal error occurred (%1: %2)."},
    {0x0404, u"發生內部錯誤 (%1: %2)。"},
    {0x0406, u"Der opstod en intern fejl (%1: %2)."},
    {0x0407, u"Interner Fehler (%1: %2)."},
    {0x0408, u"Παρουσιάστηκε εσωτερικό σφάλμα (%1: %2)."},
    {0x0410, u"Si è verificato un errore interno (%1: %2)."},
    {0x0411, u"内部エラーが発生しました (%1: %2)。"},
    {0x0412, u"내부 오류가 발생했습니다(%1: %2)."},
    {0x0413, u"Er is een interne fout opgetreden (%1: %2)."},
    {0x0414, u"Det oppstod en intern feil (%1: %2)."},
    {0x0416, u"Ocorreu um erro (%1: %2)."},
    {0x0419, u"Произошла внутренняя ошибка (%1: %2)."},
    {0x041D, u"Ett internt fel har inträffat (%1: %2)."},
    {0x041F, u"İç hata oluştu (%1: %2)."},
    {0x040B, u"Sisäinen virhe tapahtui (%1: %2)."},
    {0x040C, u"Une erreur interne s'est produite (%1: %2)."},
    {0x0804, u"发生了内部错误(%1: %2)。"},
    {0x0816, u"Ocorreu um erro interno (%1: %2)."},
    {0x0C0A, u"Se ha producido un error interno (%1: %2)."},
    {0, nullptr},
};

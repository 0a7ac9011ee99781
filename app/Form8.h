// "Создание статьи": the article page editor. The author's name and address, the page's file name,
// the title and the text; "Создать" writes the page under FILES\ from the page template.
#pragma once

#include "FormKit.h"

class TForm8 : public TForm {
    VCL_CLASS(TForm8, TForm)
public:
    explicit TForm8(TComponent* AOwner);
    ~TForm8() override;

    TsSkinProvider* sSkinProvider1 = nullptr;
    TsLabel* sLabel1 = nullptr; // "Автор"
    TsEdit* Edit2 = nullptr;    // author's name
    TsLabel* sLabel2 = nullptr; // "e-mail"
    TsEdit* Edit3 = nullptr;    // author's address for messages
    TsLabel* sLabel3 = nullptr; // "Имя файла"
    TsEdit* Edit4 = nullptr;    // page file name without extension
    TsLabel* sLabel4 = nullptr; // "Название статьи"
    TsEdit* Edit1 = nullptr;    // article title
    TsMemo* Memo1 = nullptr;    // article text
    TMemo* Memo2 = nullptr;     // hidden: the page assembled line by line
    TFontDialog* FontDialog1 = nullptr;

    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* N5 = nullptr; // "Файл"
    TMenuItem* N1 = nullptr; // "Создать"
    TMenuItem* N2 = nullptr; // "Выход"
    TMenuItem* N6 = nullptr; // "Правка"
    TMenuItem* N8 = nullptr; // "Отменить"
    TMenuItem* N11 = nullptr;
    TMenuItem* N10 = nullptr; // "Вырезать"
    TMenuItem* N9 = nullptr;  // "Копировать"
    TMenuItem* N12 = nullptr; // "Вставить"
    TMenuItem* N14 = nullptr;
    TMenuItem* N13 = nullptr; // "Выделить всё"
    TMenuItem* N15 = nullptr;
    TMenuItem* N3 = nullptr; // "Шрифт"
    TMenuItem* N7 = nullptr; // "Помощь"
    TMenuItem* N4 = nullptr; // "Как создавать"

    void FormShow(TObject* Sender);
    // Closing with text not yet written into a page asks first, whichever way the editor closes.
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormCanResize(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize);
    void N1Click(TObject* Sender);
    void N2Click(TObject* Sender);
    void N3Click(TObject* Sender);
    void N8Click(TObject* Sender);
    void N10Click(TObject* Sender);
    void N9Click(TObject* Sender);
    void N12Click(TObject* Sender);
    void N13Click(TObject* Sender);
    void N4Click(TObject* Sender);

    // The page's file name below FILES\: the typed name with the extension ".html", which may have
    // been typed with it.
    AnsiString PageFileName();
    // The title and file of the page written last: what "Выбрать" places in the tree, whatever the
    // editor holds since.
    AnsiString WrittenTitle, WrittenFile;

    // Writes the author, the text's font and the window's size to FILES\Settings2.ini (its close,
    // and the main window's close while it is open); a file that cannot be replaced is reported,
    // and the editor goes on (its close is never stopped).
    void WriteSettings();

private:
    // The edit the "Правка" commands act on: the focused field, else the article text.
    TCustomEdit* EditingTarget();
    TMenuItem* NewItem(TMenuItem* Parent, const char* Name, const AnsiString& Caption, TShortCut Key = 0);
};

extern TForm8* Form8;

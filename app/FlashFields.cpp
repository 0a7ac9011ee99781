#include "FlashFields.h"

#include "MainTreeMap.h"

using namespace formkit;

void LayoutFlashFields(TForm* Form, TFlashFields& F, const AnsiString& Caption)
{
    DialogFrame(Form, Caption, 361, 109);
    F.sSkinProvider1 = AddSkinProvider(Form);
    F.sLabel1 = PlaceCaption<TsLabel>(Form, Form, "sLabel1", "Название", 8, 12, 68, 13);
    F.Edit1 = PlaceEdit(Form, Form, "Edit1", 80, 8, 273);
    F.Edit1->SetMaxLength(MaxTitleLength);
    F.sLabel2 = PlaceCaption<TsLabel>(Form, Form, "sLabel2", "Файл", 8, 42, 68, 13);
    F.Edit2 = PlaceEdit(Form, Form, "Edit2", 80, 38, 192);
    F.Button1 = PlaceCaption<TsButton>(Form, Form, "Button1", "Обзор...", 278, 36, 75, 25);
    F.Button2 = PlaceCaption<TsButton>(Form, Form, "Button2", "OK", 197, 76, 75, 25);
    F.Button2->SetDefault(true);
    F.Button3 = PlaceCaption<TsButton>(Form, Form, "Button3", "Отмена", 278, 76, 75, 25);
    F.Button3->SetCancel(true);
    F.sOpenDialog1 = Create<TsOpenDialog>(Form);
    F.sOpenDialog1->SetName("sOpenDialog1");
    F.sOpenDialog1->Filter = "Flash файлы (*.swf)|*.swf";
}

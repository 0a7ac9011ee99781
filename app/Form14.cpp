#include "Form14.h"

using namespace formkit;

TForm14* Form14 = nullptr;

namespace {

const char* const HelpText =
    "1. Заполните поля «Автор» и «e-mail»: они будут указаны внизу страницы.\r\n"
    "2. В поле «Имя файла» введите имя страницы без расширения: она будет сохранена "
    "в папке FILES с расширением .html.\r\n"
    "3. В поле «Название статьи» введите заголовок статьи.\r\n"
    "4. Введите текст статьи в большое поле; можно использовать разметку HTML.\r\n"
    "5. Выберите в меню «Файл» пункт «Создать». Затем в дереве статей щёлкните правой кнопкой "
    "по категории и выберите «Выбрать», чтобы добавить статью в дерево.";

} // namespace

TForm14::TForm14(TComponent* AOwner) : TForm(AOwner)
{
    Form14 = this;
    SetName("Form14");
    DialogFrame(this, "Как создавать", 393, 273);
    SetPosition(poDesigned); // centred on the editor by the command that opens it
    sSkinProvider1 = AddSkinProvider(this);

    sLabel1 = PlaceCaption<TsLabel>(this, this, "sLabel1", HelpText, 12, 10, 369, 214);
    sLabel1->SetWordWrap(true);
    Button1 = PlaceCaption<TsButton>(this, this, "Button1", "OK", 159, 238, 75, 25);
    Button1->SetDefault(true);
    Button1->SetCancel(true);

    Button1->OnClick = Bind(this, &TForm14::Button1Click);
}

TForm14::~TForm14()
{
    if (Form14 == this)
        Form14 = nullptr;
}

void TForm14::Button1Click(TObject*) { Close(); }

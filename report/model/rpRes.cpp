// rpRes.cpp - the resource dictionary and the library's Russian texts.
#include "report/model/rpRes.h"

#include "report/model/rpUtils.h"

#include "platform/graphics/Resources.h"
#include "platform/rtl/SysUtils.h"

SKLAD_DEFINE_CLASS(TrpResources)

namespace {
TrpBitmapResourceLoader& BitmapLoader()
{
    static TrpBitmapResourceLoader loader;
    return loader;
}

std::unique_ptr<TImageList> NewImageList(int Size)
{
    auto list = std::make_unique<TImageList>(nullptr);
    list->SetWidth(Size);
    list->SetHeight(Size);
    return list;
}
}  // namespace

void rpSetBitmapResourceLoader(TrpBitmapResourceLoader Loader) { BitmapLoader() = std::move(Loader); }

bool rpLoadBitmapResource(const AnsiString& Name, TBitmap& Bitmap)
{
    if (BitmapLoader())
        return BitmapLoader()(Name, Bitmap);
    const TPixelBuffer* pixels = FindBitmapResource(Name);
    if (!pixels)
        return false;
    Bitmap.SetPixels(*pixels);
    return true;
}

TCustomImageList* TrpResources::GetMainButtonImages()
{
    if (FMainButtonImages->Count() == 0) {
        TBitmap strip;
        if (rpLoadBitmapResource("rpBUTTONS", strip))
            SetButtonImages(&strip);
    }
    return FMainButtonImages.get();
}

void TrpResources::SetButtonImages(TBitmap* Images, bool Clear)
{
    if (Clear) {
        FMainButtonImages->Clear();
        FDisabledButtonImages->Clear();
    }
    rpAssignImages(Images, 16, 16, FMainButtonImages.get(), FDisabledButtonImages.get());
}

TCustomImageList* TrpResources::GetObjectImages()
{
    if (FObjectImages->Count() == 0) {
        TBitmap strip;
        if (rpLoadBitmapResource("rpOBJECTS", strip))
            SetObjectImages(&strip);
    }
    return FObjectImages.get();
}

void TrpResources::SetObjectImages(TBitmap* Images, bool Clear)
{
    if (Clear)
        FObjectImages->Clear();
    rpAssignImages(Images, 22, 22, FObjectImages.get());
}

TrpResources::TrpResources()
    : FDisabledButtonImages(NewImageList(16)), FMainButtonImages(NewImageList(16)), FObjectImages(NewImageList(22))
{
    FNames.SetSorted(true);
    FNames.SetDuplicates(dupIgnore);
}

void TrpResources::Add(const AnsiString& Ref, const AnsiString& Str)
{
    int i;
    if (FNames.Find(Ref, i)) {
        const auto index = static_cast<int>(reinterpret_cast<intptr_t>(FNames.Objects(i)));
        FValues.Put(index, Str);
        return;
    }
    const int index = FValues.Add(Str);
    FNames.AddObject(Ref, reinterpret_cast<TObject*>(static_cast<intptr_t>(index)));
}

bool TrpResources::Has(const AnsiString& Ref) const
{
    int i;
    return FNames.Find(Ref, i);
}

AnsiString TrpResources::Get(const AnsiString& Ref) const
{
    int i;
    if (!FNames.Find(Ref, i))
        return Ref;
    return FValues.Get(static_cast<int>(reinterpret_cast<intptr_t>(FNames.Objects(i))));
}

void TrpResources::Clear()
{
    FNames.Clear();
    FValues.Clear();
}

void TrpResources::LocalizeForm(TComponent* Form) const
{
    if (!Form || !Has(Form->ClassName()))
        return;
    TStringList lines;
    lines.SetText(Get(Form->ClassName()));
    for (int i = 0; i < lines.Count(); ++i) {
        const AnsiString line = lines[i];
        const size_t eq = line.find('=');
        if (eq == AnsiString::npos || eq == 0)
            continue;
        const AnsiString name = line.substr(0, eq);
        const AnsiString value = line.substr(eq + 1, 4096);
        TObject* target = Form;
        AnsiString prop = name;
        const size_t dot = name.find('.');
        if (dot != AnsiString::npos) {
            target = Form->FindComponent(name.substr(0, dot));
            prop = name.substr(dot + 1);
        }
        if (!target)
            continue;
        const TPropInfo* p = GetPropInfo(target, prop);
        if (!p || !p->Writable || !(KindBit(p->Kind()) & tkStrings))
            continue;
        SetStrProp(target, p, value);
    }
}

TrpResources& rpResources()
{
    static TrpResources resources;
    return resources;
}

void frAddClassesRes()
{
    TrpResources& r = rpResources();
    r.Add("TrpPreviewForm",
          "Caption=Предварительный просмотр\r\n"
          "PrintB.Caption=Печать\r\n"
          "PrintB.Hint=Печать\r\n"
          "OpenB.Caption=Открыть\r\n"
          "OpenB.Hint=Открыть\r\n"
          "SaveB.Caption=Сохранить\r\n"
          "SaveB.Hint=Сохранить\r\n"
          "ExportB.Caption=Экспорт\r\n"
          "ExportB.Hint=Экспорт\r\n"
          "FindB.Caption=Найти\r\n"
          "FindB.Hint=Найти\r\n"
          "ZoomWholePageB.Caption=Целиком\r\n"
          "ZoomWholePageB.Hint=Страница целиком\r\n"
          "ZoomPageWidthB.Caption=По ширине\r\n"
          "ZoomPageWidthB.Hint=По ширине\r\n"
          "Zoom100B.Caption=100%\r\n"
          "Zoom100B.Hint=100%\r\n"
          "Zoom50B.Caption=Две страницы\r\n"
          "Zoom50B.Hint=Две страницы\r\n"
          "ZoomCB.Hint=Масштаб\r\n"
          "PageSettingsB.Caption=Поля\r\n"
          "PageSettingsB.Hint=Свойства страницы\r\n"
          "OutlineB.Caption=Дерево\r\n"
          "OutlineB.Hint=Дерево отчета\r\n"
          "HandToolB.Caption=Рука\r\n"
          "HandToolB.Hint=Рука\r\n"
          "ZoomToolB.Caption=Лупа\r\n"
          "ZoomToolB.Hint=Лупа\r\n"
          "NewPageB.Caption=Добавить\r\n"
          "NewPageB.Hint=Добавить страницу\r\n"
          "DelPageB.Caption=Удалить\r\n"
          "DelPageB.Hint=Удалить страницу\r\n"
          "DesignerB.Caption=Правка\r\n"
          "DesignerB.Hint=Редактировать страницу\r\n"
          "FirstB.Caption=Первая\r\n"
          "FirstB.Hint=На первую страницу\r\n"
          "PriorB.Caption=Предыдущая\r\n"
          "PriorB.Hint=На предыдущую страницу\r\n"
          "PageE.Hint=Номер страницы\r\n"
          "NextB.Caption=Следующая\r\n"
          "NextB.Hint=На следующую страницу\r\n"
          "LastB.Caption=Последняя\r\n"
          "LastB.Hint=На последнюю страницу\r\n"
          "CancelB.Caption=Закрыть\r\n");
    r.Add("TrpPrintDialog",
          "Caption=Печать\r\n"
          "Label12.Caption=Принтер   \r\n"
          "DescrL.Caption=Введите номера и/или диапазоны страниц, разделенные запятыми. Например, 1,3,5-12\r\n"
          "Label1.Caption=Страницы   \r\n"
          "CopiesL.Caption=Количество\r\n"
          "CollateL.Caption=Разобрать по копиям\r\n"
          "Label2.Caption=Копии   \r\n"
          "PrintL.Caption=Печатать\r\n"
          "TypeL.Caption=Тип:\r\n"
          "WhereL.Caption=Где:\r\n"
          "OkB.Caption=ОК\r\n"
          "CancelB.Caption=Отмена\r\n"
          "PropButton.Caption=Свойства...\r\n"
          "AllRB.Caption=Все\r\n"
          "CurPageRB.Caption=Текущая\r\n"
          "PageNumbersRB.Caption=Номера:\r\n"
          "FileCB.Caption=Печать в файл\r\n"
          "ReverseCB.Caption=В обратном порядке\r\n");
    r.Add("TrpSearchDialog",
          "Caption=Искать текст\r\n"
          "TextL.Caption=Текст:\r\n"
          "SearchL.Caption=Настройки поиска   \r\n"
          "TopCB.Caption=Искать с начала\r\n"
          "CaseCB.Caption=Различать регистр\r\n"
          "ReplaceL.Caption=Заменить\r\n"
          "OkB.Caption=ОК\r\n"
          "CancelB.Caption=Отмена\r\n");
    r.Add("TrpPageSettingsForm",
          "Caption=Настройки страницы\r\n"
          "SizeL.Caption=Размер   \r\n"
          "WidthL.Caption=Ширина\r\n"
          "HeightL.Caption=Высота\r\n"
          "cmL1.Caption=см\r\n"
          "cmL2.Caption=см\r\n"
          "OrientationL.Caption=Ориентация   \r\n"
          "PortraitRB.Caption=Портретная\r\n"
          "LandscapeRB.Caption=Альбомная\r\n"
          "MarginsL.Caption=Поля   \r\n"
          "LeftL.Caption=Левое\r\n"
          "TopL.Caption=Верхнее\r\n"
          "RightL.Caption=Правое\r\n"
          "BottomL.Caption=Нижнее\r\n"
          "cmL3.Caption=см\r\n"
          "cmL4.Caption=см\r\n"
          "cmL5.Caption=см\r\n"
          "cmL6.Caption=см\r\n"
          "OtherL.Caption=Прочее   \r\n"
          "ApplyToCurRB.Caption=Применить к текущей странице\r\n"
          "ApplyToAllRB.Caption=Применить ко всем страницам\r\n"
          "OKB.Caption=ОК\r\n"
          "CancelB.Caption=Отмена\r\n");
    r.Add("TrpDMPExportDialog",
          "Caption=Печать\r\n"
          "EscL.Caption=ESC-команды   \r\n"
          "OemCB.Caption=OEM-кодировка\r\n"
          "SaveDialog1.Filter=Файл печати (*.prn)|*.prn\r\n");
    r.Add("TrpProgress", "CancelB.Caption=Отмена\r\n");

    static const char* const kMessages[][2] = {
        {"zmPageWidth", "По ширине"},
        {"zmWholePage", "Страница целиком"},
        {"ppAll", "Все страницы"},
        {"ppOdd", "Нечетные страницы"},
        {"ppEven", "Четные страницы"},
        {"mbConfirm", "Подтверждение"},
        {"mbError", "Ошибка"},
        {"mbInfo", "Информация"},
        {"xrCantFindClass", "Не удалось найти класс"},
        {"prVirtual", "Виртуальный"},
        {"prDefault", "По умолчанию"},
        {"prCustom", "Пользовательский"},
        {"enUnconnHeader", "Не подключенный header/footer"},
        {"enUnconnGroup", "Нет дата-бэнда для группы"},
        {"enUnconnGFooter", "Нет заголовка группы"},
        {"enBandPos", "Неправильно расположен бэнд:"},
        {"dbNotConn", "Компонент %s не подключен к данным"},
        {"dbFldNotFound", "Поле не найдено:"},
        {"clDSNotIncl", "(компонент не включен в Report.DataSets)"},
        {"clUnknownVar", "Неизвестная переменная или поле БД:"},
        {"clScrError", "Ошибка в скрипте %s: %s"},
        {"clDSNotExist", "Набор данных \"%s\" не найден"},
        {"clErrors", "Были обнаружены следующие ошибки:"},
        {"clExprError", "Ошибка в выражении"},
        {"clRPFfiles", "Готовый отчет"},
        {"clSaving", "Сохраняется файл..."},
        {"clCancel", "Отмена"},
        {"clClose", "Закрыть"},
        {"clPrinting", "Печатается страница"},
        {"clLoading", "Загружается файл..."},
        {"clPageOf", "Страница %d из %d"},
        {"clFirstPass", "Первый проход: страница "},
        {"clNoPrinters", "В вашей системе не установлено принтеров"},
        {"clDecompressError", "Ошибка распаковки данных"},
        {"crFillMx", "Заполняется cross-tab..."},
        {"crBuildMx", "Строится cross-tab..."},
        {"prRunningFirst", "Первый проход: страница %d"},
        {"prRunning", "Готовится страница %d"},
        {"prPrinting", "Печатается страница %d"},
        {"prExporting", "Экспорт страницы %d"},
    };
    static_assert(std::size(kMessages) == 40, "forty single messages");
    for (const auto& m : kMessages)
        r.Add(m[0], m[1]);
}

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Association</name>
    <message>
        <source>%1: cannot remove the file</source>
        <translation>%1: не удаётся удалить файл</translation>
    </message>
    <message>
        <source>HKEY_CLASSES_ROOT\%1: the registry refused (error %2)</source>
        <translation>HKEY_CLASSES_ROOT\%1: операция с реестром не удалась (ошибка %2)</translation>
    </message>
</context>
<context>
    <name>Bitmap</name>
    <message>
        <source>%1: not a Windows bitmap</source>
        <translation>%1: это не рисунок BMP Windows</translation>
    </message>
    <message>
        <source>%1: unknown bitmap header size %2</source>
        <translation>%1: неизвестный размер заголовка BMP: %2</translation>
    </message>
    <message>
        <source>%1: the bitmap header is cut short</source>
        <translation>%1: заголовок BMP обрезан</translation>
    </message>
    <message>
        <source>%1: the colour masks are missing</source>
        <translation>%1: нет цветовых масок</translation>
    </message>
    <message>
        <source>%1: %2 bits per pixel is not a bitmap depth</source>
        <translation>%1: %2 бит на пиксель — недопустимая глубина цвета для BMP</translation>
    </message>
    <message>
        <source>%1: compressed bitmaps (type %2) are not supported</source>
        <translation>%1: сжатые рисунки BMP (тип %2) не поддерживаются</translation>
    </message>
    <message>
        <source>%1: RLE%2 compression with %3 bits per pixel instead of %2</source>
        <translation>%1: сжатие RLE%2 при %3 битах на пиксель вместо %2</translation>
    </message>
    <message>
        <source>%1: a run-length compressed bitmap cannot be stored top-down</source>
        <translation>%1: рисунок BMP со сжатием RLE не может храниться сверху вниз</translation>
    </message>
    <message>
        <source>%1: impossible bitmap size %2 x %3</source>
        <translation>%1: невозможный размер рисунка BMP: %2 x %3</translation>
    </message>
    <message>
        <source>%1: the bitmap is too large (%2 x %3)</source>
        <translation>%1: рисунок BMP слишком велик (%2 x %3)</translation>
    </message>
    <message>
        <source>%1: the pixel data starts past the end of the file</source>
        <translation>%1: данные пикселей начинаются за концом файла</translation>
    </message>
    <message>
        <source>%1: the pixel data runs past the end of the file</source>
        <translation>%1: данные пикселей выходят за конец файла</translation>
    </message>
    <message>
        <source>%1: the colour table is cut short</source>
        <translation>%1: таблица цветов обрезана</translation>
    </message>
    <message>
        <source>%1: the bitmap is too large</source>
        <translation>%1: рисунок BMP слишком велик</translation>
    </message>
</context>
<context>
    <name>Converter</name>
    <message>
        <source>%1: cannot create a capture file in the temp folder</source>
        <translation>%1: не удаётся создать во временной папке файл для вывода программы</translation>
    </message>
</context>
<context>
    <name>FileOps</name>
    <message>
        <source>%1: the file is larger than %2 bytes</source>
        <translation>%1: файл больше %2 байт</translation>
    </message>
    <message>
        <source>%1: is a folder, not a file</source>
        <translation>%1: это папка, а не файл</translation>
    </message>
    <message>
        <source>%1: not a regular file</source>
        <translation>%1: это не обычный файл</translation>
    </message>
    <message>
        <source>%1: the folder cannot be created (%2)</source>
        <translation>%1: не удаётся создать папку (%2)</translation>
    </message>
</context>
<context>
    <name>Journal</name>
    <message>
        <source>%1: not open</source>
        <translation>%1: не открыт</translation>
    </message>
    <message>
        <source>%1: not a history journal</source>
        <translation>%1: это не журнал истории</translation>
    </message>
    <message>
        <source>a picture key of the journal is damaged</source>
        <translation>ключ рисунка в журнале повреждён</translation>
    </message>
    <message>
        <source>%1: the picture does not match its name</source>
        <translation>%1: рисунок не соответствует своему имени</translation>
    </message>
    <message>
        <source>%1: another running designer keeps the history there</source>
        <translation>%1: там ведёт историю другой запущенный редактор</translation>
    </message>
    <message>
        <source>%1: cannot be opened for writing: %2</source>
        <translation>%1: не удаётся открыть для записи: %2</translation>
    </message>
    <message>
        <source>%1: cannot be written: %2</source>
        <translation>%1: не удаётся записать: %2</translation>
    </message>
    <message>
        <source>%1: cannot be flushed to disk: %2</source>
        <translation>%1: не удаётся сбросить на диск: %2</translation>
    </message>
    <message>
        <source>the history journal holds no readable state</source>
        <translation>в журнале истории нет ни одного читаемого состояния</translation>
    </message>
    <message>
        <source>%1: an empty record</source>
        <translation>%1: пустая запись</translation>
    </message>
    <message>
        <source>%1: a record is empty or too large</source>
        <translation>%1: запись пуста или слишком велика</translation>
    </message>
    <message>
        <source>%1: a running designer holds it</source>
        <translation>%1: его держит работающий дизайнер</translation>
    </message>
    <message>
        <source>%1: taken over from a designer that is no longer running</source>
        <translation>%1: перенята у дизайнера, который уже не работает</translation>
    </message>
    <message>
        <source>%1: damaged, and it cannot be moved aside; the history is not kept on disk this time</source>
        <translation>%1: повреждён и не может быть отложен в сторону; в этот раз история на диске не сохраняется</translation>
    </message>
    <message>
        <source>The history journal was damaged; it is kept as %1</source>
        <translation>Журнал истории был повреждён; он сохранён как %1</translation>
    </message>
    <message>
        <source>%1; the history is not kept on disk this time</source>
        <translation>%1; в этот раз история изменений не сохраняется на диск</translation>
    </message>
</context>
<context>
    <name>Jpeg</name>
    <message>
        <source>%1: the file is empty</source>
        <translation>%1: файл пуст</translation>
    </message>
    <message>
        <source>%1: the JPEG picture is cut short (%2)</source>
        <translation>%1: картинка JPEG обрезана (%2)</translation>
    </message>
    <message>
        <source>%1: not a readable JPEG picture (%2)</source>
        <translation>%1: не удаётся прочитать картинку JPEG (%2)</translation>
    </message>
    <message>
        <source>%1: the JPEG picture is too large</source>
        <translation>%1: картинка JPEG слишком велика</translation>
    </message>
    <message>
        <source>There is no picture to encode</source>
        <translation>Нет картинки для кодирования</translation>
    </message>
    <message>
        <source>JPEG encoding failed (%1)</source>
        <translation>Не удалось закодировать картинку в JPEG (%1)</translation>
    </message>
</context>
<context>
    <name>Mbm</name>
    <message>
        <source>%1: the converter reported &quot;%2&quot; bitmaps</source>
        <translation>%1: конвертер сообщил число битмапов «%2»</translation>
    </message>
    <message>
        <source>%1: the bitmap converter wrote no file</source>
        <translation>%1: конвертер битмапов не записал файл</translation>
    </message>
</context>
<context>
    <name>Mif</name>
    <message>
        <source>the pictures do not fit in a .mif (2 GB)</source>
        <translation>картинки не помещаются в файл .mif (2 ГБ)</translation>
    </message>
    <message>
        <source>%1: not found next to %2</source>
        <translation>%1: не найден рядом с %2</translation>
    </message>
    <message>
        <source>%1: entry %2 (bitmap %3) has no picture to pack as bitmap %4</source>
        <translation>%1: у элемента %2 (битмап %3) нет картинки, чтобы упаковать её как битмап %4</translation>
    </message>
    <message>
        <source>%1: the file is %2 bytes long and ends inside its 16-byte header</source>
        <translation>%1: длина файла %2 байт, он обрывается посреди 16-байтового заголовка</translation>
    </message>
    <message>
        <source>%1: the entry count %2 is impossible</source>
        <translation>%1: невозможное число элементов: %2</translation>
    </message>
    <message>
        <source>%1: the table of %2 entries runs past the end of the file (%3 bytes)</source>
        <translation>%1: таблица из %2 элементов выходит за конец файла (%3 байт)</translation>
    </message>
    <message>
        <source>%1: entry %2 points into the file&apos;s header or table (position %3)</source>
        <translation>%1: элемент %2 указывает внутрь заголовка или таблицы файла (позиция %3)</translation>
    </message>
    <message>
        <source>%1: entry %2 points past the end of the file (position %3, file %4 bytes)</source>
        <translation>%1: элемент %2 указывает за конец файла (позиция %3, длина файла %4 байт)</translation>
    </message>
    <message>
        <source>%1: the block of entry %2 claims %3 bytes of text, but %4 bytes follow its header</source>
        <translation>%1: в блоке элемента %2 заявлено %3 байт текста, но за его заголовком следует %4 байт</translation>
    </message>
    <message>
        <source>entry %1: position %2 does not fit a bitmap entry</source>
        <translation>элемент %1: позиция %2 не подходит для элемента-битмапа</translation>
    </message>
    <message>
        <source>entry %1: position %2 does not fit a SVG entry</source>
        <translation>элемент %1: позиция %2 не подходит для элемента SVG</translation>
    </message>
    <message>
        <source>entry %1: position %2 and length %3 do not match its place in the file (%4) or its %5 bytes of text</source>
        <translation>элемент %1: позиция %2 и длина %3 не соответствуют его месту в файле (%4) или его %5 байтам текста</translation>
    </message>
    <message>
        <source>a picture of %1 × %2 pixels is too large for a bitmap (at most %3 pixels); store it as JPEG or PNG</source>
        <translation>картинка %1 × %2 пикселей слишком велика для растра (не больше %3 пикселей); сохраните её в JPEG или PNG</translation>
    </message>
</context>
<context>
    <name>PackageFiles</name>
    <message>
        <source>signature chain %1: %2</source>
        <translation>цепочка подписей %1: %2</translation>
    </message>
    <message>
        <source>signature chain %1 has no signature</source>
        <translation>в цепочке подписей %1 нет подписи</translation>
    </message>
    <message>
        <source>the package&apos;s target &quot;%1&quot; leaves the folder it is taken into</source>
        <translation>путь установки пакета «%1» выходит за пределы папки, куда извлекаются файлы</translation>
    </message>
    <message>
        <source>%1: the package stores no files (it is for files already on the phone)</source>
        <translation>%1: в пакете нет файлов (он для файлов, уже находящихся в телефоне)</translation>
    </message>
    <message>
        <source>%1: the package holds no .skin file</source>
        <translation>%1: в пакете нет файла .skin</translation>
    </message>
    <message>
        <source>%1: the package holds %2 files; a skin package holds at most %3</source>
        <translation>%1: в пакете %2 файлов; в пакете скина их не больше %3</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; would take %3 bytes; a file of a skin package takes at most %4 MiB</source>
        <translation>%1: «%2» занял бы %3 байт; файл пакета скина занимает не больше %4 МиБ</translation>
    </message>
    <message>
        <source>%1: the package&apos;s files would take more than %2 MiB together, the most a skin package holds</source>
        <translation>%1: файлы пакета заняли бы вместе больше %2 МиБ — больше, чем вмещает пакет скина</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; and &quot;%3&quot; would be the same file</source>
        <translation>%1: «%2» и «%3» оказались бы одним файлом</translation>
    </message>
    <message>
        <source>%1 is a symbolic link; a package&apos;s files are never written through one</source>
        <translation>%1 — символическая ссылка; файлы пакета никогда не пишутся через ссылки</translation>
    </message>
    <message>
        <source>%1 is a folder</source>
        <translation>%1 — это папка</translation>
    </message>
    <message>
        <source>%1 is not a regular file</source>
        <translation>%1 — не обычный файл</translation>
    </message>
    <message>
        <source>%1: not enough memory to take it apart</source>
        <translation>%1: не хватает памяти, чтобы разобрать пакет</translation>
    </message>
</context>
<context>
    <name>Palette</name>
    <message>
        <source>colors[%1] is not a colour of the form &quot;#RRGGBB&quot;</source>
        <translation>colors[%1] — не цвет вида «#RRGGBB»</translation>
    </message>
    <message>
        <source>&quot;%1&quot; must be a string</source>
        <translation>«%1» должно быть строкой</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds &quot;%2&quot; (U+%3), which a skin file cannot store</source>
        <translation>«%1» содержит «%2» (U+%3), который нельзя сохранить в файле скина</translation>
    </message>
    <message>
        <source>&quot;colors&quot; must be an array of at most 20 colours</source>
        <translation>«colors» должно быть массивом не более чем из 20 цветов</translation>
    </message>
    <message>
        <source>the top level is not an object</source>
        <translation>верхний уровень — не объект</translation>
    </message>
    <message>
        <source>%1: not a skin description (%2)</source>
        <translation>%1: это не описание скина (%2)</translation>
    </message>
    <message>
        <source>%1: not a GIMP palette</source>
        <translation>%1: это не палитра GIMP</translation>
    </message>
    <message>
        <source>%1, line %2: not a colour</source>
        <translation>%1, строка %2: это не цвет</translation>
    </message>
    <message>
        <source>%1: the palette has no colours</source>
        <translation>%1: в палитре нет цветов</translation>
    </message>
</context>
<context>
    <name>PhoneModels</name>
    <message>
        <source>the size &quot;%1&quot; is not WIDTH*HEIGHT</source>
        <translation>размер «%1» не в виде ШИРИНА*ВЫСОТА</translation>
    </message>
    <message>
        <source>the position &quot;%1&quot; is not X,Y</source>
        <translation>положение «%1» не в виде X,Y</translation>
    </message>
    <message>
        <source>the size %1*%2 is outside %3..%4</source>
        <translation>размер %1*%2 вне пределов %3..%4</translation>
    </message>
    <message>
        <source>%1:%2: model &quot;%3&quot; left out: %4</source>
        <translation>%1:%2: модель «%3» пропущена: %4</translation>
    </message>
</context>
<context>
    <name>PictureFile</name>
    <message>
        <source>%1: only .bmp, .jpg and .png pictures can be used</source>
        <translation>%1: можно использовать только картинки .bmp, .jpg и .png</translation>
    </message>
</context>
<context>
    <name>Png</name>
    <message>
        <source>the file ends before the picture does</source>
        <translation>файл кончается раньше картинки</translation>
    </message>
    <message>
        <source>%1: not a PNG picture</source>
        <translation>%1: это не картинка PNG</translation>
    </message>
    <message>
        <source>%1: out of memory</source>
        <translation>%1: недостаточно памяти</translation>
    </message>
    <message>
        <source>%1: not a readable PNG picture (%2)</source>
        <translation>%1: не удаётся прочитать картинку PNG (%2)</translation>
    </message>
    <message>
        <source>%1: the PNG picture is too large</source>
        <translation>%1: картинка PNG слишком велика</translation>
    </message>
    <message>
        <source>There is no picture to encode</source>
        <translation>Нет картинки для кодирования</translation>
    </message>
    <message>
        <source>PNG encoding failed: out of memory</source>
        <translation>Не удалось закодировать картинку в PNG: недостаточно памяти</translation>
    </message>
    <message>
        <source>PNG encoding failed (%1)</source>
        <translation>Не удалось закодировать картинку в PNG (%1)</translation>
    </message>
</context>
<context>
    <name>Process</name>
    <message>
        <source>%1: the program was not found</source>
        <translation>%1: программа не найдена</translation>
    </message>
</context>
<context>
    <name>SaveSkin</name>
    <message>
        <source>%1 ended with code %2</source>
        <translation>%1 завершилась с кодом %2</translation>
    </message>
    <message>
        <source>%1: no folder to prepare the package in</source>
        <translation>%1: не удалось создать папку для подготовки пакета</translation>
    </message>
    <message>
        <source>%1: no folder to build the package in</source>
        <translation>%1: не удалось создать папку для сборки пакета</translation>
    </message>
    <message>
        <source>%1: no folder to prepare the files in</source>
        <translation>%1: нет папки, чтобы подготовить файлы</translation>
    </message>
</context>
<context>
    <name>ScratchFolder</name>
    <message>
        <source>no base folder given</source>
        <translation>не указана базовая папка</translation>
    </message>
    <message>
        <source>XDG_RUNTIME_DIR is not an absolute path: %1</source>
        <translation>XDG_RUNTIME_DIR — не абсолютный путь: %1</translation>
    </message>
    <message>
        <source>the system temp folder (TMPDIR) does not exist</source>
        <translation>системная временная папка (TMPDIR) не существует</translation>
    </message>
    <message>
        <source>Cannot create a scratch folder (tried %1)</source>
        <translation>Не удаётся создать рабочую папку (испробовано: %1)</translation>
    </message>
    <message>
        <source>Cannot create a scratch folder: %1</source>
        <translation>Не удаётся создать рабочую папку: %1</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>Settings: &quot;%1&quot; holds a value that is not a number; ignored</source>
        <translation>Настройки: значение «%1» не число и пропущено</translation>
    </message>
</context>
<context>
    <name>SkinFile</name>
    <message>
        <source>%1: the file ends inside the colour records (at byte %2)</source>
        <translation>%1: файл обрывается посреди записей цветов (на байте %2)</translation>
    </message>
    <message>
        <source>%1: the file ends inside the MIF file name (at byte %2)</source>
        <translation>%1: файл обрывается посреди имени файла MIF (на байте %2)</translation>
    </message>
    <message>
        <source>The MIF file name is too long for a .skin file (%1 characters, at most 65535)</source>
        <translation>Имя файла MIF слишком длинное для файла .skin (%1 символов, допустимо не более 65535)</translation>
    </message>
    <message>
        <source>%1: the file ends inside the copyright text (at byte %2)</source>
        <translation>%1: файл обрывается посреди текста об авторских правах (на байте %2)</translation>
    </message>
    <message>
        <source>The copyright text is too long for a .skin file (%1 characters, at most 65535)</source>
        <translation>Текст об авторских правах слишком длинный для файла .skin (%1 символов, допустимо не более 65535)</translation>
    </message>
</context>
<context>
    <name>SkinHistory</name>
    <message>
        <source>colour “%1”</source>
        <translation>цвет «%1»</translation>
    </message>
    <message>
        <source>default colours</source>
        <translation>цвета по умолчанию</translation>
    </message>
    <message>
        <source>colour reset</source>
        <translation>Сброс цвета</translation>
    </message>
    <message>
        <source>colour scheme import</source>
        <translation>импорт цветовой схемы</translation>
    </message>
    <message>
        <source>pictures</source>
        <translation>рисунки</translation>
    </message>
    <message>
        <source>background import</source>
        <translation>импорт фонового рисунка</translation>
    </message>
    <message>
        <source>cursor import</source>
        <translation>импорт курсора</translation>
    </message>
    <message>
        <source>skin pictures</source>
        <translation>рисунки скина</translation>
    </message>
</context>
<context>
    <name>SkinImages</name>
    <message>
        <source>%1: entry %2 is bitmap %3, which %4 does not deliver</source>
        <translation>%1: элемент %2 — битмап %3, которого нет в %4</translation>
    </message>
    <message>
        <source>%1: %2 entries; a skin&apos;s .mif has 4</source>
        <translation>%1: элементов %2, а в файле .mif скина их 4</translation>
    </message>
    <message>
        <source>%1: there is no picture to export</source>
        <translation>%1: нет картинки для экспорта</translation>
    </message>
</context>
<context>
    <name>Svg</name>
    <message>
        <source>%1: the picture is %2 × %3 pixels; an SVG wrapper holds at most %4 in each direction</source>
        <translation>%1: картинка размером %2 × %3 пикселей, а обёртка SVG вмещает не более %4 по каждой стороне</translation>
    </message>
</context>
<context>
    <name>SystemError</name>
    <message>
        <source>No such file or directory</source>
        <translation>Нет такого файла или папки</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Доступ запрещён</translation>
    </message>
    <message>
        <source>No space left on device</source>
        <translation>На устройстве не осталось места</translation>
    </message>
    <message>
        <source>Is a directory</source>
        <translation>Это папка</translation>
    </message>
    <message>
        <source>file to open is a directory</source>
        <translation>открываемый файл — это папка</translation>
    </message>
    <message>
        <source>Not a directory</source>
        <translation>Это не папка</translation>
    </message>
    <message>
        <source>Directory not empty</source>
        <translation>Папка не пуста</translation>
    </message>
    <message>
        <source>Read-only file system</source>
        <translation>Файловая система доступна только для чтения</translation>
    </message>
    <message>
        <source>File name too long</source>
        <translation>Слишком длинное имя файла</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>Слишком много открытых файлов</translation>
    </message>
    <message>
        <source>Too many levels of symbolic links</source>
        <translation>Слишком много уровней символьных ссылок</translation>
    </message>
    <message>
        <source>Input/output error</source>
        <translation>Ошибка ввода-вывода</translation>
    </message>
    <message>
        <source>File exists</source>
        <translation>Файл уже существует</translation>
    </message>
    <message>
        <source>Disk quota exceeded</source>
        <translation>Превышена дисковая квота</translation>
    </message>
    <message>
        <source>Operation not permitted</source>
        <translation>Операция не позволена</translation>
    </message>
    <message>
        <source>Device or resource busy</source>
        <translation>Устройство или ресурс заняты</translation>
    </message>
    <message>
        <source>Text file busy</source>
        <translation>Исполняемый файл занят</translation>
    </message>
    <message>
        <source>Exec format error</source>
        <translation>Неверный формат исполняемого файла</translation>
    </message>
    <message>
        <source>Cannot allocate memory</source>
        <translation>Не удаётся выделить память</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Неизвестная ошибка</translation>
    </message>
    <message>
        <source>File too large</source>
        <translation>Файл слишком велик</translation>
    </message>
    <message>
        <source>the file is read-only</source>
        <translation>файл доступен только для чтения</translation>
    </message>
    <message>
        <source>is a folder, not a file</source>
        <translation>это папка, а не файл</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>это не обычный файл</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Phone models not loaded: %1</source>
        <translation>Модели телефонов не загружены: %1</translation>
    </message>
    <message>
        <source>Settings not read, the defaults apply: %1</source>
        <translation>Настройки не прочитаны, действуют настройки по умолчанию: %1</translation>
    </message>
</context>
</TS>

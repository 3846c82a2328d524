#include "TestDoubles.h"

#include <QMessageBox>
#include <QPrinter>
#include <QTimer>

int FakeMessageBox::show(QWidget *, const QString &title, const QString &text, Icon icon,
                         int buttons, int defaultButton)
{
    shown.append({title, text, icon, buttons, defaultButton});
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    if (defaultButton != 0)
        return defaultButton;
    return (buttons & QMessageBox::Ok) ? int(QMessageBox::Ok) : buttons;
}

bool FakeProgramLauncher::openUrl(const QUrl &url)
{
    urls << url;
    return result;
}

bool FakeProgramLauncher::openInTextEditor(const QString &path)
{
    editedFiles << path;
    return result;
}

bool FakeProgramLauncher::startCalculator()
{
    ++calculatorStarts;
    return result;
}

bool FakeProgramLauncher::startDetached(const QString &program, const QStringList &arguments)
{
    started << (QStringList{program} + arguments);
    return result;
}

bool FakeDialUp::dial(const QString &entryName, QObject *context, std::function<void()> refused)
{
    dialled << entryName;
    if (!entryNames.contains(entryName))
        return false;
    if (refuseDialling && refused && context)
        QTimer::singleShot(0, context, std::move(refused));
    return true;
}

bool FakeDialUp::hangUp(const QString &handle, int)
{
    hungUp << handle;
    return true;
}

std::optional<QColor> FakeDialogs::chooseColor(QWidget *, const QColor &, const QString &title)
{
    colorTitles << title;
    if (colors.empty())
        return std::nullopt;
    auto c = colors.front();
    colors.pop_front();
    return c;
}

QString FakeDialogs::openFileName(QWidget *, const QString &title, const QString &,
                                  const QString &filter)
{
    openTitles << title;
    openFilters << filter;
    if (fileNames.empty())
        return {};
    QString name = fileNames.front();
    fileNames.pop_front();
    return name;
}

bool FakeDialogs::print(QWidget *, QPrinter *)
{
    ++printDialogs;
    return printAccepted;
}

std::unique_ptr<QPrinter> PdfPrinter::createPrinter()
{
    auto printer = std::make_unique<QPrinter>();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(outputFile);
    return printer;
}

FakePlatform::FakePlatform()
{
    Platform::install(
        {&messageBox, &programs, &sound, &connection, &dialUp, &dialogs, &printer, &tray});
}

FakePlatform::~FakePlatform()
{
    Platform::restoreReal();
}

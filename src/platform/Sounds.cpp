#include "Sounds.h"

#include "platform/Platform.h"
#include "platform/ProgramFolder.h"

namespace {

void play(const char *file)
{
    Platform::instance().sound->playSync(ProgramFolder::dataFile(QString::fromLatin1(file)));
}

} // namespace

void PlayClick()
{
    play("Click.wav");
}

void PlayOpen()
{
    play("Open.wav");
}

void PlayClose()
{
    play("Close.wav");
}

void PlayHighAlert()
{
    play("Highalert.wav");
}

void PlayLowAlert()
{
    play("Lowalert.wav");
}

#pragma once

// The program's sounds: each plays one wave file of the program's folder and returns when
// it has finished. A missing file plays nothing.
void PlayClick();
void PlayOpen();
void PlayClose();
void PlayHighAlert();
void PlayLowAlert();

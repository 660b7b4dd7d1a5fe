#pragma once

#include <QString>
#include <QStringList>

#include "services/DoctorFacts.h"

class CSkinListCtrl;

// The grey text over an empty device list, also the list's tooltip and accessible description, so that Tab to
// the list reads it. An empty text hides it. The text is a label, not a row: a click on it selects no device.
void ShowEmptyListText(CSkinListCtrl *devices, const QStringList &sentences);

// "No device answered on N interfaces." for the interfaces of the last search.
QString NoDeviceSentence();

// Runs the doctor's checks that need no root on a worker thread while the window waits (the wait cursor,
// painting, no input), then reopens the window's endpoints and puts back its device list.
izuzez::services::DoctorFacts GatherWindowFacts();

// The doctor's verdict on GatherWindowFacts(); its firewall sentence says to run the doctor with sudo.
QStringList GatherVerdict();

// After a search that listed nothing: the no-device sentence, then the verdict's other sentences.
void ShowEmptyListVerdict(CSkinListCtrl *devices);

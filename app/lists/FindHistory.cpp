#include "FindHistory.h"

QStringList& FindHistory() {
    static QStringList texts;
    return texts;
}

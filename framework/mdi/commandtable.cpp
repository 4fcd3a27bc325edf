#include "framework/mdi/commandtable.h"

#include "resources/stringtable.h"

QString CommandPrompt(unsigned id) {
    return StringTable::Load(id).section(QLatin1Char('\n'), 0, 0);
}

QString CommandTip(unsigned id) {
    const QString text = StringTable::Load(id);
    const qsizetype lineBreak = text.indexOf(QLatin1Char('\n'));
    return lineBreak < 0 ? QString() : text.mid(lineBreak + 1);
}

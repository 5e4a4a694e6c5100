#pragma once

#include <QStringList>

// Customer numbers of the register.

/// The smallest positive whole number whose decimal text is none of the
/// given texts (compared without regard to case).
int SmallestFreeCustomerNumber(const QStringList &numbers);

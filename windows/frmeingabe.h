#pragma once

#include "app/base/childwindow.h"

class FrmEingabe : public ChildWindow
{
    Q_OBJECT

public:
    explicit FrmEingabe(Module1 &state, QWidget *parent = nullptr);
};

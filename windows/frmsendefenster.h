#pragma once

#include "app/base/childwindow.h"

class FrmSendefenster : public ChildWindow
{
    Q_OBJECT

public:
    explicit FrmSendefenster(Module1 &state, QWidget *parent = nullptr);
};

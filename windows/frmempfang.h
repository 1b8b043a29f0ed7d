#pragma once

#include "app/base/childwindow.h"

class FrmEmpfang : public ChildWindow
{
    Q_OBJECT

public:
    explicit FrmEmpfang(Module1 &state, QWidget *parent = nullptr);
};

#pragma once

#include "app/base/childwindow.h"

class frmAutomat : public ChildWindow
{
    Q_OBJECT

public:
    explicit frmAutomat(Module1 &state, QWidget *parent = nullptr);
};

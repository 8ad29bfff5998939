#pragma once

#include "options/AssociationSteps.h"
#include "PantrelTest.h"

// The association steps of a program in the test's own folder.
class OptionsTest : public PantrelTest
{
protected:
    std::unique_ptr<options::AssociationSteps> m_steps;

    void setUpOptionsTest()
    {
        setUpPantrelTest();
        m_steps = std::make_unique<options::AssociationSteps>(m_assoc, *m_settings, *m_desktop,
                                                              m_program);
    }
    bool tearDownOptionsTest()
    {
        m_steps.reset();
        return tearDownPantrelTest();
    }
};

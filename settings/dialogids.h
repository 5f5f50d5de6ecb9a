// Names and control ids of the two dialog templates, shared by the resource
// script and the dialog procedures (so plain macros, which the resource
// compiler understands).
#pragma once

#define SettingsTemplateName "SETTINGS"
#define AboutTemplateName "ABOUTBOX"
#define SaverIconId 100

#define OkButtonId 1
#define CancelButtonId 2
#define AboutButtonId 991
#define SingleButtonId 101
#define TwoToneButtonId 102
#define SoundOnButtonId 103
#define SoundOffButtonId 104
#define VersionLabelId 701
#define ColoursLabelId 702
#define CreditLabelId 702
#define SoundLabelId 703
#define UnaddressedId -1

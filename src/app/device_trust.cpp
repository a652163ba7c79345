#include "app/device_trust.h"

#include <winsock2.h>

#include <string>
#include <vector>

#include "app/texts.h"
#include "app/tray.h"
#include "app/trust_prompt.h"
#include "net/device_name.h"
#include "net/trust_store.h"
#include "resources/resource.h"

// The questions asked lately, newest last, by their connection's number: a name found goes only
// to its own question's device, never to another that had the address before or after it.
struct Question {
    uint32_t number;
    std::wstring name;  // empty until found
    bool remembered;    // allowed, and its entry written: a name found later goes to it
    Device device;
};
static std::vector<Question> questions;
constexpr size_t MOST_QUESTIONS = 16;

static Question* QuestionOf(uint32_t number)
{
    for (Question& question : questions)
        if (question.number == number) return &question;
    return nullptr;
}

void OnDeviceNamed(uint32_t number, const std::wstring& name)
{
    Question* question = QuestionOf(number);
    if (!question) return;
    question->name = name;
    ShowDeviceName(number, name);
    if (!question->remembered) return;
    NoteLookedUpName(question->device, name);
}

// The name is looked up while the user is asked; the question never waits for it.
void AskAboutDevice(uint32_t address, uint32_t number, DeviceAnswer answer)
{
    questions.push_back({number, L"", false, {}});
    if (questions.size() > MOST_QUESTIONS) questions.erase(questions.begin());
    OpenDevicePrompt(address, number, answer);
    LookUpDeviceName(address, [number](const std::wstring& name) { OnDeviceNamed(number, name); });
}

static void OnDeviceLearnt(uint32_t number, const Device& device)
{
    Question* question = QuestionOf(number);
    const Remembered remembered = RememberDevice(device, question ? question->name : L"");
    if (question && remembered == Remembered::Yes) {
        question->remembered = true;
        question->device = device;
    }
    // Said once: the list stays as it is, and the user can mend or remove it.
    if (remembered == Remembered::ForeignValue)
        ShowBalloonOnce(IDS_CANNOT_REMEMBER, {}, LoadText(IDS_CANNOT_REMEMBER).c_str());
}

void RememberAllowedDevice(uint32_t address, uint32_t number)
{
    LearnDevice(address, [number](const Device& learnt) { OnDeviceLearnt(number, learnt); });
}

// Scripts of the demo pages: popups, script dialogs, notifications and the self-closing
// page.
'use strict';

let popupCount = 0;

function openPopup(extraQuery = '') {
  popupCount += 1;
  window.open('/popup.html?n=' + popupCount + extraQuery);
}

function openPopups(count) {
  for (let i = 0; i < count; i += 1) {
    openPopup();
  }
}

function showResult(text) {
  document.getElementById('dialog-result').textContent = text;
}

function demoAlert() {
  alert('这是一条普通的提示信息。');
  showResult('alert 已关闭。');
}

function demoConfirm(message) {
  const answer = confirm(message);
  showResult('confirm 返回 ' + answer + '。');
}

function demoPrompt() {
  const answer = prompt('请输入客户姓名：', '张三');
  showResult(answer === null ? 'prompt 返回 null（没有输入）。' : 'prompt 返回“' + answer + '”。');
}

let notificationCount = 0;

function showTip(text) {
  document.getElementById('tip-result').textContent = text;
}

async function demoNotify() {
  const permission = await Notification.requestPermission();
  if (permission !== 'granted') {
    showTip('通知权限：' + permission);
    return;
  }
  notificationCount += 1;
  const tag = 'approval-' + notificationCount;
  new Notification('审批提醒', { body: '您有 ' + notificationCount + ' 条新的审批。', tag });
  showTip('已发出通知 ' + tag + '，请点击托盘里的气泡。');
}

// The client calls this when the balloon of a notification is clicked, with its tag.
function tipClickHandle(argument) {
  showTip('tipClickHandle 收到：' + argument);
}

// With ?auto=1 the page counts down and closes itself.
function startAutoClose() {
  if (new URLSearchParams(location.search).get('auto') !== '1') {
    return;
  }
  const countdown = document.getElementById('countdown');
  let seconds = 3;
  const tick = () => {
    if (seconds === 0) {
      window.close();
      countdown.textContent = '已调用 window.close()。';
      return;
    }
    countdown.textContent = '本页将在 ' + seconds + ' 秒后自动关闭……';
    seconds -= 1;
    setTimeout(tick, 1000);
  };
  tick();
}

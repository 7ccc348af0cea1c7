// Lindenhof Bakery demo site: small scripts the editor must leave alone.
function showOpeningState() {
  var el = document.getElementById("openstate");
  if (!el) return;
  var hour = new Date().getHours();
  el.innerHTML = (hour >= 7 && hour < 18) ? "We are open now." : "We are closed now.";
}
function checkOrderForm(form) {
  if (form.name.value === "") {
    alert("Please tell us your name.");
    return false;
  }
  return true;
}

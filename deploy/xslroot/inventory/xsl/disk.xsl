<?xml version="1.0" encoding="UTF-8"?>
<!-- Korvex_Disk: one instance per Disk of the inventory; a get keeps only the
     disk whose id is the DeviceID key. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="text" encoding="UTF-8"/>

  <xsl:variable name="get" select="/QRVCIM/@cim-operation = 'get'"/>
  <xsl:variable name="key" select="/QRVCIM/Attributes/Required[@name = 'DeviceID']/@value"/>

  <xsl:template match="/">
    <xsl:apply-templates select="/QRVCIM/Inventory/Disks/Disk[not($get) or @id = $key]"/>
  </xsl:template>

  <xsl:template match="Disk">
    <xsl:text>instance of Korvex_Disk&#10;{&#10;</xsl:text>
    <xsl:text>DeviceID = "</xsl:text><xsl:value-of select="@id"/><xsl:text>";&#10;</xsl:text>
    <xsl:text>Model = "</xsl:text><xsl:value-of select="@model"/><xsl:text>";&#10;</xsl:text>
    <xsl:text>SizeBytes = </xsl:text><xsl:value-of select="@sizeBytes"/><xsl:text>;&#10;</xsl:text>
    <xsl:text>LastChecked = </xsl:text><xsl:value-of select="@checked"/><xsl:text>;&#10;</xsl:text>
    <xsl:text>PowerOnTime = "interval:</xsl:text><xsl:value-of select="@powerOnSeconds"/><xsl:text>";&#10;</xsl:text>
    <xsl:for-each select="Partition">
      <xsl:text>Partitions[</xsl:text><xsl:value-of select="format-number(position() - 1, '000')"/>
      <xsl:text>] = "</xsl:text><xsl:value-of select="@name"/><xsl:text>";&#10;</xsl:text>
    </xsl:for-each>
    <!-- An embedded object: its text is kept whole as the value of Smart. -->
    <xsl:text>Smart = QRVCIMEMBEDDEDOBJBEGIN"EMBEDDEDOBJECT of Korvex_SmartStatus&#10;</xsl:text>
    <xsl:text> { Temperature = </xsl:text><xsl:value-of select="@temperature"/><xsl:text> }&#10;</xsl:text>
    <xsl:text>QRVCIMEMBEDDEDOBJEND;&#10;</xsl:text>
    <xsl:text>};&#10;</xsl:text>
  </xsl:template>
</xsl:stylesheet>
